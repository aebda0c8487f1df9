#include "app/userprompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QMap>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The real file dialogs, offscreen: what they list and which names they refuse.
class FileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void filtersInQtForm_data();
    void filtersInQtForm();
    void openListsTestFiles();
    void saveRefusesMissingFolder();
    void warningBoxAnswers_data();
    void warningBoxAnswers();
};

void FileDialogsTest::filtersInQtForm_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("test files") << "Ostrel Hydrant Flow Test |*.oft;*oft"
                                << "Ostrel Hydrant Flow Test (*.oft *oft)";
    QTest::newRow("caption holds its patterns") << "pdf files (*.pdf)|*.pdf"
                                                << "pdf files (*.pdf)";
    QTest::newRow("caption in parentheses") << "Web Page (HTML)|*.html;*.htm"
                                            << "Web Page (HTML) (*.html *.htm)";
    QTest::newRow("two entries") << "a|*.a|b|*.b"
                                 << "a (*.a);;b (*.b)";
}

void FileDialogsTest::filtersInQtForm() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(qtNameFilter(filter), expected);
}

void FileDialogsTest::openListsTestFiles() {
    QTemporaryDir dir;
    for (const char* name : {"a.oft", "b.txt", "coft"}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const auto dialog =
        makeOpenDialog(nullptr, {"Ostrel Hydrant Flow Test |*.oft;*oft", "oft", {}, {}});
    dialog->setDirectory(dir.path());
    dialog->show();
    const auto* view = dialog->findChild<QListView*>("listView");
    QVERIFY(view);
    const auto listed = [view] {
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            names.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
        names.sort();
        return names;
    };
    QTRY_COMPARE(listed(), QStringList({"a.oft", "coft"}));
}

void FileDialogsTest::saveRefusesMissingFolder() {
    QTemporaryDir dir;
    const auto dialog =
        makeSaveDialog(nullptr, {"Ostrel Hydrant Flow Test |*.oft;*oft", "oft", {}, {}});
    dialog->setDirectory(dir.path());
    dialog->show();
    QString refusal;
    QTimer::singleShot(0, [&refusal] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            refusal = box->text();
            box->close();
        }
    });
    dialog->selectFile(dir.filePath("nofolder/x.oft"));
    static_cast<QDialog&>(*dialog).accept(); // the OK button
    QVERIFY2(!refusal.isEmpty(), "no refusal shown");
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));

    dialog->selectFile(dir.filePath("x.oft"));
    static_cast<QDialog&>(*dialog).accept(); // the OK button
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

void FileDialogsTest::warningBoxAnswers_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("saveFirst");
    QTest::addColumn<bool>("yesNo");
    QTest::newRow("Yes") << "y" << int(Answer::Yes) << true;
    QTest::newRow("No") << "n" << int(Answer::No) << false;
    QTest::newRow("Enter takes the default") << "enter" << int(Answer::Yes) << true;
    // Only No discards work; the overwrite question writes nothing on Escape.
    QTest::newRow("Escape") << "escape" << int(Answer::Cancel) << false;
    QTest::newRow("close box") << "close" << int(Answer::Cancel) << false;
}

void FileDialogsTest::warningBoxAnswers() {
    QFETCH(QString, action);
    QFETCH(int, saveFirst);
    QFETCH(bool, yesNo);
    const auto answerBox = [action] {
        QTimer::singleShot(0, [action] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QMap<QString, QAbstractButton*> shown; // the invisible Cancel must stay invisible
            for (QAbstractButton* button : box->buttons())
                if (button->isVisible())
                    shown.insert(button->text(), button);
            QCOMPARE(shown.keys(), QStringList({"&No", "&Yes"}));
            if (action == "y" || action == "n")
                shown.value(action == "y" ? "&Yes" : "&No")->click();
            else if (action == "enter")
                QTest::keyClick(box, Qt::Key_Return);
            else if (action == "escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
    };
    DialogPrompts prompts;
    answerBox();
    QCOMPARE(int(prompts.askSaveFirst(nullptr, "Save current file before closing?")), saveFirst);
    answerBox();
    QCOMPARE(prompts.askYesNo(nullptr, "Overwrite the existing file \"x\"?"), yesNo);
}

QTEST_MAIN(FileDialogsTest)
#include "test_filedialogs.moc"
