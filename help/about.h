#pragma once

#include <QDialog>

class QEvent;
class QFrame;
class QKeyEvent;
class QPushButton;
class QResizeEvent;
class QTextBrowser;

// The About box: the help text in a read-only rich-text view and a Close
// button. Created once and shown modally with exec() as often as asked;
// closing only hides it, so the loaded text stays.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void placeControls();
    void FormCreate();
    // True when the key was used.
    bool FormKeyPress(const QKeyEvent& event);
    void FormResize();
    void btnExitClick();

    QTextBrowser* RichEdit = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* btnExit = nullptr;
};
