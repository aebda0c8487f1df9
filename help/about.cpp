#include "help/about.h"

#include "ui/appinfo.h"
#include "ui/keypress.h"
#include "ui/windowfont.h"
#include "ui/windowplacement.h"

#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>

#include <algorithm>
#include <optional>

// Resources of a static library are only linked in when referenced, and
// Q_INIT_RESOURCE must be used outside any namespace.
static void initHelpResource() {
    Q_INIT_RESOURCE(help);
}

namespace {

constexpr int panelHeight = 36;
// The button keeps the margins it has at the initial size.
constexpr QSize buttonSize(107, 25);
constexpr int buttonTop = 6;
constexpr int buttonRightMargin = 6;

// The resource keeps placeholders for the maker's addresses, so they are
// set in one place (AppInfo) for the menu, the reports and this text.
QString helpText() {
    initHelpResource();
    QFile file(QStringLiteral(":/help/help_txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("%SUPPORT_MAIL%"),
                 QString::fromLatin1(AppInfo::supportMail).toHtmlEscaped());
    text.replace(QStringLiteral("%WEB_HOST%"),
                 QString::fromLatin1(AppInfo::webHost).toHtmlEscaped());
    return text;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Ostrel Hydrant Flow Test"));
    resize(457, 527);
    setMinimumSize(buttonSize.width() + 2 * buttonRightMargin, panelHeight + 40);
    createControls();
    placeControls();
    FormCreate();
}

void TAboutBox::createControls() {
    RichEdit = new QTextBrowser(this);
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    RichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RichEdit->setLineWrapMode(QTextEdit::WidgetWidth);
    RichEdit->setOpenExternalLinks(true);
    // Tab leaves the text for the button instead of walking its links.
    RichEdit->setTabChangesFocus(true);
    RichEdit->installEventFilter(this);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    btnExit = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("&Close Help"), Panel1);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    btnExit->installEventFilter(this);
    connect(btnExit, &QPushButton::clicked, this, &TAboutBox::btnExitClick);

    QWidget::setTabOrder(RichEdit, btnExit);
}

// The view fills the window above the panel docked to the bottom edge; the
// button is anchored to the panel's top and right edges.
void TAboutBox::placeControls() {
    const int textHeight = std::max(0, height() - panelHeight);
    RichEdit->setGeometry(0, 0, width(), textHeight);
    Panel1->setGeometry(0, textHeight, width(), panelHeight);
    btnExit->setGeometry(
        QRect({Panel1->width() - buttonRightMargin - buttonSize.width(), buttonTop}, buttonSize));
}

void TAboutBox::FormCreate() {
    setFont(windowFont());
    centreOnScreen(*this);
    RichEdit->setHtml(helpText());
}

void TAboutBox::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeControls();
    FormResize();
}

void TAboutBox::FormResize() {
    RichEdit->viewport()->update();
}

// The window sees key presses before its controls.
bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == RichEdit || watched == btnExit) && event->type() == QEvent::KeyPress &&
        FormKeyPress(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    if (FormKeyPress(*event))
        return;
    QDialog::keyPressEvent(event);
}

bool TAboutBox::FormKeyPress(const QKeyEvent& event) {
    const std::optional<QChar> typed = typedCharacter(event);
    if (!typed || typed->unicode() != 27)
        return false;
    // Escape presses the cancel button.
    btnExit->click();
    return true;
}

void TAboutBox::btnExitClick() {
    reject();
}
