// OstrelFlowTest: start-up of the program.
#include "app/endsignals.h"
#include "app/ostrelflow.h"
#include "app/userprompts.h"
#include "help/about.h"
#include "options/preferences.h"
#include "textfile/fileaccess.h"
#include "ui/appinfo.h"

#include <QApplication>

#include <cstdio>
#include <string_view>

namespace {

// The manual page names the same options.
constexpr const char* helpText = "Usage: ostrel-flowtest [FILE.oft]\n"
                                 "Record a fire hydrant flow test and print its report.\n"
                                 "\n"
                                 "FILE.oft is the test file to open in the window.\n"
                                 "\n"
                                 "  -h, --help     Print this help and exit.\n"
                                 "  -V, --version  Print the version and exit.\n";
constexpr const char* versionText = "ostrel-flowtest " FLOWTEST_VERSION "\n";

// Answered before the application object exists, so they need no display.
// Only the first argument counts; anything else there is the file to open.
const char* informationAskedFor(int argc, char* argv[]) {
    if (argc < 2)
        return nullptr;
    const std::string_view first = argv[1];
    if (first == "-h" || first == "--help")
        return helpText;
    if (first == "-V" || first == "--version")
        return versionText;
    return nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const char* information = informationAskedFor(argc, argv)) {
        std::fputs(information, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(AppInfo::title));
    // Wayland matches the window to its menu entry (name, icon) by this.
    QApplication::setDesktopFileName(QStringLiteral("com.ostrel.flowtest"));

    // Qt has taken its own options out of argv; a file name keeps its bytes.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(nameFromNative(argv[i]));
    // Installed first: a signal that comes while the window is made is
    // handled once the event loop runs, after the test named is open.
    const EndSignals endSignals;
    TFlowTest flowTest(arguments);
    TAboutBox aboutBox(&flowTest);
    flowTest.setAboutBox(&aboutBox);
    // The Options dialog loads the stored settings as it is created.
    TfrmPreferences preferences(&flowTest, [&flowTest](const QString& message) {
        flowTest.prompts().showError(&flowTest, message);
    });
    flowTest.setPreferences(&preferences);

    // A logout or shutdown never waits on a question: the test is kept in
    // its recovery file for the next start.
    QObject::connect(&endSignals, &EndSignals::endRequested, &flowTest,
                     [&flowTest] { flowTest.endWithoutQuestions(); });
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &flowTest,
                     [&flowTest] { flowTest.commitSessionData(); });

    flowTest.show();
    return QApplication::exec();
}
