#pragma once

#include "document/testrecord.h"
#include "hydraulics/units.h"

#include <QList>
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
struct SupplyAnalysis;

// "Water Supply Analysis": what a sprinkler system asks of the supply, as
// the designer types it (up to four demand points, each a label, a flow, the
// residual pressure it needs and, optionally, its elevation; the hose stream
// allowance; the safety margin, a pressure or a percentage of the static
// pressure), and each point's answer beneath it. The inputs are part of the
// test: every edit is reported, and the window saves them with it.
class AnalysisInputs : public QWidget {
    Q_OBJECT
public:
    static constexpr int pointsShown = 4;

    explicit AnalysisInputs(QWidget* parent = nullptr);

    // The inputs into and out of the test; points beyond the fourth that a
    // file brought are kept as they are.
    void setInputs(const TestRecord& test);
    void fillInto(TestRecord& test) const;
    bool isEmpty() const;

    // Field captions for the unit system (values are never converted).
    void setUnits(UnitSystem units);
    // Each point's verdict beneath its inputs; none without an analysis.
    void showAnswers(const SupplyAnalysis* analysis);

signals:
    void edited();

private:
    struct PointFields {
        QLineEdit* label = nullptr;
        QLineEdit* flow = nullptr;
        QLineEdit* pressure = nullptr;
        QLineEdit* elevation = nullptr;
        QLabel* answer = nullptr;
    };
    QLineEdit* numberField(const char* name, bool signedNumber);

    std::array<PointFields, pointsShown> points_;
    QList<DemandPoint> morePoints_;
    QLineEdit* hose_ = nullptr;
    QLineEdit* margin_ = nullptr;
    QComboBox* marginKind_ = nullptr;
    std::array<QLabel*, 4> captions_{};
    QLabel* hoseCaption_ = nullptr;
};
