// OstrelFlowTest: start-up of the program.
#include "app/ostrelflow.h"
#include "app/userprompts.h"
#include "help/about.h"
#include "options/preferences.h"
#include "textfile/fileaccess.h"
#include "ui/appinfo.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(AppInfo::title));

    // Qt has taken its own options out of argv; a file name keeps its bytes.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(nameFromNative(argv[i]));
    TFlowTest flowTest(arguments);
    TAboutBox aboutBox(&flowTest);
    flowTest.setAboutBox(&aboutBox);
    // The Options dialog loads the stored settings as it is created.
    TfrmPreferences preferences(&flowTest, [&flowTest](const QString& message) {
        flowTest.prompts().showError(&flowTest, message);
    });
    flowTest.setPreferences(&preferences);

    flowTest.show();
    return QApplication::exec();
}
