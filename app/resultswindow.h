#pragma once

#include "graph/flowgraphpicture.h"
#include "report/flowtestreport.h"
#include "results/testresults.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

class AnalysisInputs;
class QLabel;
class QPushButton;

// The flow graph of the results window: the report's own picture, redrawn
// as vectors at any size, with the axis units beside and below it.
class ResultsGraph : public QWidget {
    Q_OBJECT
public:
    explicit ResultsGraph(QWidget* parent = nullptr);

    void setGraph(FlowGraphPicture picture, bool drawn, const QString& pressureUnit,
                  const QString& flowUnit);
    bool isDrawn() const { return drawn_; }
    // The graph at its natural size, drawn at `scale` pixels per unit.
    QImage image(int scale) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintGraph(QPainter& painter, const QRect& area) const;

    FlowGraphPicture picture_;
    bool drawn_ = false;
    QString pressureUnit_;
    QString flowUnit_;
};

// "Flow Test Results": a window beside the main window that shows, as the
// user types, what the report and flowtest-report compute of the test: the
// total flow, the flow at the chosen pressure, the rated flow at 20 psi,
// the NFPA 291 class with its cap colour, the residual drop, what stops a
// result, advice on outlets, and the graph. It reads the window's snapshot
// and changes nothing of the test.
class ResultsWindow : public QWidget {
    Q_OBJECT
public:
    using SnapshotSource = std::function<ReportSnapshot()>;

    // The owner keeps it above itself and without a task-bar button.
    ResultsWindow(QWidget* owner, SnapshotSource source);

    // The test changed: the results follow at once, but at most once every
    // 50 ms, so typing stays fluid in a very large test.
    void testChanged();
    // Computes and shows the results of the snapshot now.
    void refresh();

    const TestResults& results() const { return results_; }
    // The water supply analysis's inputs, part of the test.
    AnalysisInputs& analysisInputs() const { return *analysis_; }
    // Every line of stops, advice and notes on the report's texts, as shown.
    QStringList messageLines() const;
    // Why the test's recovery file cannot be written; empty when it can.
    void setRecoveryProblem(const QString& problem);
    // The results as plain text lines, as Copy puts them on the clipboard.
    QString resultsText() const;
    void copyResults() const;
    void copyGraph() const;

signals:
    void shownChanged(bool shown);
    // The analysis page's commands, which the owner runs.
    void analysisPrintRequested();
    void analysisPreviewRequested();
    void analysisPdfRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Ctrl+C copies the results, Escape hides the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void showValues();
    // Names each result for screen readers by its caption and value.
    void nameValues();

    SnapshotSource source_;
    TestResults results_;
    // What the report says of memos it continues on a later page, and what
    // it was found from.
    struct MemoInputs {
        QStringList location;
        QStringList notes;
        QStringList testedBy;
        qsizetype outlets = -1;
    };
    void updateMemoNotes(const ReportSnapshot& snapshot);
    QStringList memoNotes_;
    MemoInputs memoNotesOf_;
    QString recoveryProblem_;
    QTimer pending_;
    QElapsedTimer sinceRefresh_;
    QChar separator_ = QLatin1Char('.');

    QLabel* totalCaption_ = nullptr;
    QLabel* total_ = nullptr;
    QLabel* chosenCaption_ = nullptr;
    QLabel* chosen_ = nullptr;
    QLabel* ratedCaption_ = nullptr;
    QLabel* rated_ = nullptr;
    QLabel* swatch_ = nullptr;
    QLabel* classCaption_ = nullptr;
    QLabel* nfpaClass_ = nullptr;
    QLabel* dropCaption_ = nullptr;
    QLabel* drop_ = nullptr;
    QLabel* messages_ = nullptr;
    ResultsGraph* graph_ = nullptr;
    AnalysisInputs* analysis_ = nullptr;
    QList<QPushButton*> analysisButtons_; // only with a demand point
    QWidget* content_ = nullptr;          // what scrolls above the buttons
};
