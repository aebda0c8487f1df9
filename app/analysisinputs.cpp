#include "app/analysisinputs.h"

#include "results/supplyanalysis.h"
#include "ui/textfields.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int percentEntry = 1;

bool isSet(const DemandPoint& point) {
    return !(point.label.isEmpty() && point.flow.isEmpty() && point.pressure.isEmpty() &&
             point.elevation.isEmpty());
}

// "10 %" or "10%": the number, and whether it is a percentage.
std::pair<QString, bool> splitMargin(const QString& text) {
    QString number = text.trimmed();
    const bool percent = number.endsWith(QLatin1Char('%'));
    if (percent)
        number.chop(1);
    return {number.trimmed(), percent};
}

} // namespace

AnalysisInputs::AnalysisInputs(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AnalysisInputs"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    for (int column = 0; column < 4; ++column) {
        captions_[column] = new QLabel(this);
        grid->addWidget(captions_[column], 0, column);
    }
    for (int i = 0; i < pointsShown; ++i) {
        PointFields& point = points_[i];
        const QString number = QString::number(i + 1);
        point.label = new QLineEdit(this);
        point.label->setObjectName(QStringLiteral("demandLabel") + number);
        point.label->setPlaceholderText(QStringLiteral("Demand point %1").arg(i + 1));
        liftLengthLimit(*point.label);
        connect(point.label, &QLineEdit::textEdited, this, &AnalysisInputs::edited);
        point.flow = numberField(qPrintable(QStringLiteral("demandFlow") + number), false);
        point.pressure = numberField(qPrintable(QStringLiteral("demandPressure") + number), false);
        point.elevation = numberField(qPrintable(QStringLiteral("demandElevation") + number), true);
        point.answer = new QLabel(this);
        point.answer->setObjectName(QStringLiteral("demandAnswer") + number);
        point.answer->setWordWrap(true);
        point.answer->setVisible(false);
        const int row = 1 + 2 * i;
        grid->addWidget(point.label, row, 0);
        grid->addWidget(point.flow, row, 1);
        grid->addWidget(point.pressure, row, 2);
        grid->addWidget(point.elevation, row, 3);
        grid->addWidget(point.answer, row + 1, 0, 1, 4);
    }
    grid->setColumnStretch(0, 3);
    for (int column = 1; column < 4; ++column)
        grid->setColumnStretch(column, 1);

    hoseCaption_ = new QLabel(this);
    hose_ = numberField("hoseAllowance", false);
    hoseCaption_->setBuddy(hose_);
    auto* marginCaption = new QLabel(QStringLiteral("Safety margin:"), this);
    margin_ = numberField("safetyMargin", false);
    marginCaption->setBuddy(margin_);
    marginKind_ = new QComboBox(this);
    marginKind_->setObjectName(QStringLiteral("safetyMarginKind"));
    marginKind_->addItems({QString(), QStringLiteral("% of static")});
    marginKind_->setAccessibleName(QStringLiteral("Safety margin in"));
    connect(marginKind_, &QComboBox::activated, this, &AnalysisInputs::edited);
    auto* others = new QHBoxLayout;
    others->addWidget(hoseCaption_);
    others->addWidget(hose_, 1);
    others->addSpacing(12);
    others->addWidget(marginCaption);
    others->addWidget(margin_, 1);
    others->addWidget(marginKind_);
    grid->addLayout(others, 1 + 2 * pointsShown, 0, 1, 4);
    setUnits(UnitSystem::US);
}

QLineEdit* AnalysisInputs::numberField(const char* name, bool signedNumber) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(name));
    makeNumberField(*field, signedNumber ? FilterRealKey : FilterPosRealKey);
    connect(field, &QLineEdit::textEdited, this, &AnalysisInputs::edited);
    return field;
}

void AnalysisInputs::setUnits(UnitSystem units) {
    const UnitTexts& unit = unitTexts(units);
    captions_[0]->setText(QStringLiteral("Demand point"));
    captions_[1]->setText(QStringLiteral("Flow [%1]").arg(unit.flow));
    captions_[2]->setText(QStringLiteral("Pressure [%1]").arg(unit.pressure));
    captions_[3]->setText(QStringLiteral("Elev [%1]").arg(unit.length));
    hoseCaption_->setText(QStringLiteral("Hose allowance [%1]:").arg(unit.flow));
    marginKind_->setItemText(0, unit.pressure);
    // Screen readers name each field by its column and point.
    for (int i = 0; i < pointsShown; ++i) {
        const QString point = QStringLiteral(" #%1").arg(i + 1);
        points_[i].label->setAccessibleName(captions_[0]->text() + point);
        points_[i].flow->setAccessibleName(captions_[1]->text() + point);
        points_[i].pressure->setAccessibleName(captions_[2]->text() + point);
        points_[i].elevation->setAccessibleName(captions_[3]->text() + point);
    }
    hose_->setAccessibleName(hoseCaption_->text());
    margin_->setAccessibleName(QStringLiteral("Safety margin"));
}

void AnalysisInputs::setInputs(const TestRecord& test) {
    for (int i = 0; i < pointsShown; ++i) {
        const DemandPoint point = test.demands.value(i);
        setWholeText(*points_[i].label, point.label);
        setWholeText(*points_[i].flow, point.flow);
        setWholeText(*points_[i].pressure, point.pressure);
        setWholeText(*points_[i].elevation, point.elevation);
    }
    morePoints_ = test.demands.mid(pointsShown);
    setWholeText(*hose_, test.hoseAllowance);
    const auto [number, percent] = splitMargin(test.safetyMargin);
    setWholeText(*margin_, number);
    marginKind_->setCurrentIndex(percent ? percentEntry : 0);
}

void AnalysisInputs::fillInto(TestRecord& test) const {
    test.demands.clear();
    for (const PointFields& fields : points_) {
        const DemandPoint point{fields.label->text(), fields.flow->text(), fields.pressure->text(),
                                fields.elevation->text()};
        if (isSet(point))
            test.demands.append(point);
    }
    test.demands += morePoints_;
    test.hoseAllowance = hose_->text();
    test.safetyMargin = margin_->text().isEmpty() ? QString()
                        : marginKind_->currentIndex() == percentEntry
                            ? margin_->text() + QStringLiteral(" %")
                            : margin_->text();
}

bool AnalysisInputs::isEmpty() const {
    TestRecord inputs;
    fillInto(inputs);
    return inputs.demands.isEmpty() && inputs.hoseAllowance.isEmpty() &&
           inputs.safetyMargin.isEmpty();
}

void AnalysisInputs::showAnswers(const SupplyAnalysis* analysis) {
    // The analysis answers the points that are set, in their order.
    int answered = 0;
    for (PointFields& fields : points_) {
        const bool set = isSet({fields.label->text(), fields.flow->text(), fields.pressure->text(),
                                fields.elevation->text()});
        const DemandResult* result = set && analysis && answered < analysis->points.size()
                                         ? &analysis->points[answered]
                                         : nullptr;
        answered += set ? 1 : 0;
        fields.answer->setVisible(result && !result->verdictText.isEmpty());
        if (result)
            fields.answer->setText(result->answerText + QLatin1Char(' ') +
                                   result->verdictText.left(1).toUpper() +
                                   result->verdictText.mid(1) + QLatin1Char('.'));
    }
}
