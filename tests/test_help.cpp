#include "help/about.h"
#include "ui/appinfo.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void helpText();
    void escapeClosesModalWindow_data();
    void escapeClosesModalWindow();
    void buttonStaysAtBottomRight();
};

void HelpTest::helpText() {
    const TAboutBox box;
    const auto* view = box.findChild<QTextBrowser*>(QStringLiteral("RichEdit"));
    const QStringList headings = {QStringLiteral("About"), QStringLiteral("Using"),
                                  QStringLiteral("Additional Features"), QStringLiteral("Bonus"),
                                  QStringLiteral("Comments")};
    QStringList found;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
        if (!headings.contains(block.text()))
            continue;
        found << block.text();
        const QTextCharFormat format = block.begin().fragment().charFormat();
        QCOMPARE(format.fontWeight(), QFont::Bold);
        QCOMPARE(format.fontPointSize(), 12.0);
        QCOMPARE(format.foreground().color(), QColor(Qt::blue));
    }
    QCOMPARE(found, headings);
    QVERIFY(view->toPlainText().contains(QStringLiteral("Q=29.84*c*d*d*sqrt(p)")));

    const QTextCharFormat warning = view->document()->find(QStringLiteral("does not")).charFormat();
    QCOMPARE(warning.foreground().color(), QColor(Qt::red));
    QCOMPARE(warning.fontWeight(), QFont::Bold);

    const QString html = view->toHtml();
    QVERIFY(html.contains(QStringLiteral("mailto:") + QLatin1String(AppInfo::supportMail)));
    QVERIFY(html.contains(QStringLiteral("http://") + QLatin1String(AppInfo::webHost)));
    QVERIFY(!html.contains(QRegularExpression(QStringLiteral("%[A-Z_]+%"))));
}

void HelpTest::escapeClosesModalWindow_data() {
    QTest::addColumn<QString>("focus");
    QTest::newRow("text view") << QStringLiteral("RichEdit");
    QTest::newRow("button") << QStringLiteral("btnExit");
}

void HelpTest::escapeClosesModalWindow() {
    QFETCH(const QString, focus);
    TAboutBox box;
    const QString text = box.findChild<QTextBrowser*>()->toHtml();
    for (int showing = 1; showing <= 2; ++showing) {
        // Timers die with this object, so a late one cannot reach the next showing.
        const QObject showingScope;
        QTimer::singleShot(0, &showingScope, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&box));
            if (showing == 1) // the text view comes first in the tab order
                QCOMPARE(QApplication::focusWidget(), box.findChild<QTextBrowser*>());
            box.findChild<QWidget*>(focus)->setFocus();
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        // Ends a modal loop the key failed to end, with a telling result.
        QTimer::singleShot(5000, &showingScope, [&] { box.done(QDialog::Accepted); });
        QCOMPARE(box.exec(), int(QDialog::Rejected));
        QVERIFY(!box.isVisible());
    }
    QCOMPARE(box.windowTitle(), QStringLiteral("About Ostrel Hydrant Flow Test"));
    QCOMPARE(box.findChild<QTextBrowser*>()->toHtml(), text);
}

void HelpTest::buttonStaysAtBottomRight() {
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const auto* button = box.findChild<QPushButton*>(QStringLiteral("btnExit"));
    QCOMPARE(box.size(), QSize(457, 527));
    QCOMPARE(button->geometry(), QRect(344, 6, 107, 25));
    const auto margins = [&] {
        const QRect onWindow(button->mapTo(&box, QPoint()), button->size());
        return QSize(box.width() - onWindow.right(), box.height() - onWindow.bottom());
    };
    const QSize before = margins();
    box.resize(640, 700);
    QTRY_COMPARE(box.size(), QSize(640, 700));
    QCOMPARE(margins(), before);
    QCOMPARE(box.findChild<QTextBrowser*>()->geometry(), QRect(0, 0, 640, 700 - 36));
}

QTEST_MAIN(HelpTest)
#include "test_help.moc"
