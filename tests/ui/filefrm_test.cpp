// The problem-file chooser: what it returns in ProblemFileName for load and save, and how it
// meets bad input.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "modaldriver.h"
#include "shell/dirlist.h"
#include "shell/filefrm.h"

using davrenta::filefrm;
using davrenta::ModuleState;
using davrenta::testing::ModalDriver;

class FileChooserTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void opensInCurrentDirectoryListingTheStudysFiles();
    void saveModeFlAppendsTheExtensionOnce_data();
    void saveModeFlAppendsTheExtensionOnce();
    void saveModeClickShowsNameWithoutExtension();
    void saveModeMhsReplacesItsEnding();
    void loadModeTakesTheNameAsItStands();
    void doubleClickChoosesTheFile();
    void rootDirectoryIsJoinedWithoutSecondSeparator();
    void subdirectoryListsItsOwnFiles();
    void cancelLeavesProblemFileNameEmpty();
    void emptyNameGivesInvalidFileNameAndStaysOpen();
    void oddNamesGiveInvalidFileName();
    void vanishedDriveGivesInvalidDevice();
    void vanishedDirectoryGivesMessageAndStays();
    void examplesButtonShowsTheShippedExamples();
    void typedFullPathIsTakenAndItsFolderRemembered();
    void typedFolderOpensItAndAMissingOneIsRefused();
    void nameToReadMustExistAndStaysToBeCorrected();
    void savingOverAnExistingFileAsksFirst();
    void nameOfAFileNotReadIsOfferedAgain();

  private:
    // Opens the chooser with the script and returns whether the script passed.
    bool choose(ModuleState& state, ModalDriver& driver);
    QString path(const QString& name) const { return dir_->path() + QLatin1Char('/') + name; }

    std::unique_ptr<QTemporaryDir> dir_;
    QString previousCurrent_;
};

void FileChooserTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    for (const char* name :
         {"town.fl", "county.fl", "plant.mhs", "notes.txt", "other.sf", "CAPS.FL"}) {
        QFile file(path(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("sub")));
    QFile inner(path(QStringLiteral("sub/inner.fl")));
    QVERIFY(inner.open(QIODevice::WriteOnly));
    previousCurrent_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_->path()));
}

void FileChooserTest::cleanup() {
    QDir::setCurrent(previousCurrent_);
    dir_.reset();
}

bool FileChooserTest::choose(ModuleState& state, ModalDriver& driver) {
    const bool ok = driver.run([&] {
        filefrm chooser(state);
        chooser.exec();
    });
    if (!ok)
        qWarning("%s", qPrintable(driver.failure()));
    return ok;
}

void FileChooserTest::opensInCurrentDirectoryListingTheStudysFiles() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.ProblemFileName = "/left/over.fl";
    filefrm chooser(state);
    QCOMPARE(state.ProblemFileName, std::string());
    QCOMPARE(chooser.windowTitle(), QStringLiteral("File - Open Population Map Problem (*.fl)"));
    QCOMPARE(chooser.Dir1->path(), QDir(dir_->path()).canonicalPath());
    QStringList files;
    for (int i = 0; i < chooser.File1->count(); ++i)
        files << chooser.File1->item(i)->text();
    QCOMPARE(files, (QStringList{"county.fl", "town.fl"}));
    QVERIFY(chooser.Drive1->count() >= 1);
    QVERIFY(chooser.okbut->isDefault());

    state.ModuleFlag = davrenta::Study::MhSimulation;
    state.SaveMode = davrenta::ChooserMode::Write;
    filefrm other(state);
    QCOMPARE(other.windowTitle(),
             QStringLiteral("File - Save Material Handling Simulation Problem (*.mhs)"));
    QCOMPARE(other.File1->count(), 1);
    QCOMPARE(other.File1->item(0)->text(), QStringLiteral("plant.mhs"));
}

void FileChooserTest::saveModeFlAppendsTheExtensionOnce_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no extension") << "plan"
                                  << "plan.fl";
    QTest::newRow("with extension") << "plan.fl"
                                    << "plan.fl";
    QTest::newRow("flag letters without dot") << "planfl"
                                              << "planfl.fl";
    QTest::newRow("other extension") << "plan.txt"
                                     << "plan.txt.fl";
}

void FileChooserTest::saveModeFlAppendsTheExtensionOnce() {
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.SaveMode = davrenta::ChooserMode::Write;
    state.fl.maptype = davrenta::MapType::NearOptimal;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .setText(QStringLiteral("Text1"), typed)
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QLatin1Char('/') + expected);
    QCOMPARE(state.fl.maptype, davrenta::MapType::Input);
}

void FileChooserTest::saveModeClickShowsNameWithoutExtension() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.SaveMode = davrenta::ChooserMode::Write;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .select(QStringLiteral("File1"), QStringLiteral("town.fl"))
        .expectText(QStringLiteral("Text1"), QStringLiteral("town"))
        .click(QStringLiteral("okbut"))
        .expectWindow(QStringLiteral("questionbox"))
        .click(QStringLiteral("yesbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QStringLiteral("/town.fl"));
}

void FileChooserTest::saveModeMhsReplacesItsEnding() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::MhSimulation;
    state.SaveMode = davrenta::ChooserMode::Write;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .select(QStringLiteral("File1"), QStringLiteral("plant.mhs"))
        .expectText(QStringLiteral("Text1"), QStringLiteral("plant"))
        .setText(QStringLiteral("Text1"), QStringLiteral("plant2.mhs"))
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QStringLiteral("/plant2.mhs"));
}

void FileChooserTest::loadModeTakesTheNameAsItStands() {
    QFile bare(path(QStringLiteral("town")));
    QVERIFY(bare.open(QIODevice::WriteOnly));
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.SaveMode = davrenta::ChooserMode::Read;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .select(QStringLiteral("File1"), QStringLiteral("town.fl"))
        .expectText(QStringLiteral("Text1"), QStringLiteral("town.fl"))
        .setText(QStringLiteral("Text1"), QStringLiteral("town"))
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QStringLiteral("/town"));
}

void FileChooserTest::doubleClickChoosesTheFile() {
    for (int mode : {0, 1}) {
        ModuleState state;
        state.ModuleFlag = davrenta::Study::PopMap;
        state.SaveMode = static_cast<davrenta::ChooserMode>(mode);
        state.fl.maptype = davrenta::MapType::ExistingService;
        ModalDriver driver;
        driver.expectWindow(QStringLiteral("filefrm"))
            .doubleClick(QStringLiteral("File1"), QStringLiteral("county.fl"));
        if (mode == 1)
            driver.expectWindow(QStringLiteral("questionbox")).click(QStringLiteral("yesbut"));
        QVERIFY(choose(state, driver));
        QCOMPARE(QString::fromStdString(state.ProblemFileName),
                 QDir(dir_->path()).canonicalPath() + QStringLiteral("/county.fl"));
        QCOMPARE(state.fl.maptype, davrenta::MapType::Input);
    }
}

void FileChooserTest::rootDirectoryIsJoinedWithoutSecondSeparator() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.SaveMode = davrenta::ChooserMode::Read;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .doubleClick(QStringLiteral("Dir1"), QStringLiteral("/"))
        .check(QStringLiteral("at the root"),
               [](QWidget* w, QString* why) {
                   *why = static_cast<filefrm*>(w)->Dir1->path();
                   return *why == QStringLiteral("/");
               })
        .setText(QStringLiteral("Text1"), QStringLiteral("x.fl"))
        .click(QStringLiteral("okbut"))
        .expectMessage(QStringLiteral("There is no file /x.fl. Choose a file from the list, or "
                                      "correct the name."))
        .click(QStringLiteral("cancelbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(state.ProblemFileName, std::string());

    state.SaveMode = davrenta::ChooserMode::Write;
    ModalDriver save;
    save.expectWindow(QStringLiteral("filefrm"))
        .doubleClick(QStringLiteral("Dir1"), QStringLiteral("/"))
        .setText(QStringLiteral("Text1"), QStringLiteral("x"))
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, save));
    QCOMPARE(state.ProblemFileName, std::string("/x.fl"));
}

void FileChooserTest::subdirectoryListsItsOwnFiles() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .doubleClick(QStringLiteral("Dir1"), QStringLiteral("sub"))
        .check(QStringLiteral("sub's files"),
               [](QWidget* w, QString* why) {
                   auto* chooser = static_cast<filefrm*>(w);
                   *why = QStringLiteral("%1 files in %2")
                              .arg(chooser->File1->count())
                              .arg(chooser->Dir1->path());
                   return chooser->File1->count() == 1 &&
                          chooser->File1->item(0)->text() == QStringLiteral("inner.fl");
               })
        .doubleClick(QStringLiteral("File1"), QStringLiteral("inner.fl"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QStringLiteral("/sub/inner.fl"));
}

void FileChooserTest::cancelLeavesProblemFileNameEmpty() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.ProblemFileName = "/earlier/choice.fl";
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .select(QStringLiteral("File1"), QStringLiteral("town.fl"))
        .click(QStringLiteral("cancelbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(state.ProblemFileName, std::string());
}

void FileChooserTest::emptyNameGivesInvalidFileNameAndStaysOpen() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.SaveMode = davrenta::ChooserMode::Write;
    state.fl.maptype = davrenta::MapType::NewService;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .click(QStringLiteral("okbut"))
        .expectMessage(QStringLiteral("Invalid File Name"))
        .expectWindow(QStringLiteral("filefrm"))
        .check(QStringLiteral("nothing changed"),
               [&](QWidget*, QString*) {
                   return state.ProblemFileName.empty() &&
                          state.fl.maptype == davrenta::MapType::NewService;
               })
        .setText(QStringLiteral("Text1"), QStringLiteral("later"))
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QStringLiteral("/later.fl"));
}

void FileChooserTest::oddNamesGiveInvalidFileName() {
    for (const char* name : {"..", ".fl", "sub/.fl"}) {
        ModuleState state;
        state.ModuleFlag = davrenta::Study::PopMap;
        state.SaveMode = davrenta::ChooserMode::Write;
        ModalDriver driver;
        driver.expectWindow(QStringLiteral("filefrm"))
            .setText(QStringLiteral("Text1"), QString::fromLatin1(name))
            .click(QStringLiteral("okbut"))
            .expectMessage(QStringLiteral("Invalid File Name"))
            .click(QStringLiteral("cancelbut"));
        QVERIFY2(choose(state, driver), name);
        QCOMPARE(state.ProblemFileName, std::string());
    }
}

void FileChooserTest::vanishedDriveGivesInvalidDevice() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .step(QStringLiteral("a medium that has gone"),
              [](QWidget* w) {
                  static_cast<filefrm*>(w)->Drive1->addItem(QStringLiteral("/media/gone"),
                                                            QStringLiteral("/media/gone-volume"));
              })
        .setText(QStringLiteral("Text1"), QStringLiteral("town.fl"))
        .select(QStringLiteral("Drive1"), QStringLiteral("/media/gone"))
        .expectMessage(QStringLiteral("Invalid device"))
        .expectNoWindow();
    QVERIFY(choose(state, driver));
    QCOMPARE(state.ProblemFileName, std::string());
}

void FileChooserTest::vanishedDirectoryGivesMessageAndStays() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    const QString sub = QDir(dir_->path()).canonicalPath() + QStringLiteral("/sub");
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .step(QStringLiteral("the folder is removed behind the list's back"),
              [&](QWidget*) { QDir(sub).removeRecursively(); })
        .doubleClick(QStringLiteral("Dir1"), QStringLiteral("sub"))
        .expectMessage(QStringLiteral("The folder ") + sub + QStringLiteral(" cannot be read."))
        .check(QStringLiteral("still in the first folder"),
               [&](QWidget* w, QString* why) {
                   *why = static_cast<filefrm*>(w)->Dir1->path();
                   return *why == QDir(dir_->path()).canonicalPath();
               })
        .doubleClick(QStringLiteral("File1"), QStringLiteral("town.fl"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QStringLiteral("/town.fl"));
}

void FileChooserTest::examplesButtonShowsTheShippedExamples() {
    const QString examples = filefrm::ExamplesDirectory();
    QVERIFY2(!examples.isEmpty(), "the source tree's examples folder");
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    QStringList listed;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .click(QStringLiteral("examplesbut"))
        .check(QStringLiteral("in the examples folder"),
               [&](QWidget* w, QString* why) {
                   auto* chooser = static_cast<filefrm*>(w);
                   for (int i = 0; i < chooser->File1->count(); ++i)
                       listed << chooser->File1->item(i)->text();
                   *why = chooser->Dir1->path();
                   return chooser->Dir1->path() == examples;
               })
        .click(QStringLiteral("cancelbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(listed, QDir(examples).entryList({QStringLiteral("*.fl")}, QDir::Files, QDir::Name));
    QVERIFY(!listed.isEmpty());
}

void FileChooserTest::typedFullPathIsTakenAndItsFolderRemembered() {
    const QString top = QDir(dir_->path()).canonicalPath();
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .setText(QStringLiteral("Text1"), top + QStringLiteral("/sub/inner.fl"))
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName), top + QStringLiteral("/sub/inner.fl"));

    // The next chooser of the session opens in that folder, whatever the current directory.
    QVERIFY(QDir::setCurrent(QDir::tempPath()));
    state.SaveMode = davrenta::ChooserMode::Write;
    QStringList listed;
    ModalDriver again;
    again.expectWindow(QStringLiteral("filefrm"))
        .check(QStringLiteral("the remembered folder"),
               [&](QWidget* w, QString* why) {
                   auto* chooser = static_cast<filefrm*>(w);
                   for (int i = 0; i < chooser->File1->count(); ++i)
                       listed << chooser->File1->item(i)->text();
                   *why = chooser->Dir1->path();
                   return *why == top + QStringLiteral("/sub");
               })
        .setText(QStringLiteral("Text1"), QStringLiteral("../plan.fl"))
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, again));
    QCOMPARE(listed, QStringList{QStringLiteral("inner.fl")});
    QCOMPARE(QString::fromStdString(state.ProblemFileName), top + QStringLiteral("/plan.fl"));
    QCOMPARE(QString::fromStdString(state.ChooserFolder), top);
}

void FileChooserTest::typedFolderOpensItAndAMissingOneIsRefused() {
    const QString top = QDir(dir_->path()).canonicalPath();
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .setText(QStringLiteral("Text1"), QStringLiteral("nowhere/town.fl"))
        .click(QStringLiteral("okbut"))
        .expectMessage(QStringLiteral("The folder nowhere/ cannot be read."))
        .expectText(QStringLiteral("Text1"), QStringLiteral("nowhere/town.fl"))
        .setText(QStringLiteral("Text1"), top + QStringLiteral("/sub/"))
        .click(QStringLiteral("okbut"))
        .check(QStringLiteral("the typed folder is shown, no file chosen yet"),
               [&](QWidget* w, QString* why) {
                   auto* chooser = static_cast<filefrm*>(w);
                   *why = chooser->Dir1->path();
                   return *why == top + QStringLiteral("/sub") && chooser->isVisible() &&
                          chooser->Text1->text().isEmpty() && state.ProblemFileName.empty();
               })
        .doubleClick(QStringLiteral("File1"), QStringLiteral("inner.fl"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName), top + QStringLiteral("/sub/inner.fl"));
}

void FileChooserTest::nameToReadMustExistAndStaysToBeCorrected() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.SaveMode = davrenta::ChooserMode::Read;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("filefrm"))
        .setText(QStringLiteral("Text1"), QStringLiteral("twon.fl"))
        .click(QStringLiteral("okbut"))
        .expectMessage(QStringLiteral("There is no file ") + QDir(dir_->path()).canonicalPath() +
                       QStringLiteral("/twon.fl. Choose a file from the list, or correct the "
                                      "name."))
        .expectWindow(QStringLiteral("filefrm"))
        .expectText(QStringLiteral("Text1"), QStringLiteral("twon.fl"))
        .setText(QStringLiteral("Text1"), QStringLiteral("town.fl"))
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QStringLiteral("/town.fl"));
}

void FileChooserTest::savingOverAnExistingFileAsksFirst() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.SaveMode = davrenta::ChooserMode::Write;
    const QString town = QDir(dir_->path()).canonicalPath() + QStringLiteral("/town.fl");
    ModalDriver driver;
    // "No" keeps the chooser open for another name; "Yes" takes the file.
    driver.expectWindow(QStringLiteral("filefrm"))
        .setText(QStringLiteral("Text1"), QStringLiteral("town"))
        .click(QStringLiteral("okbut"))
        .expectWindow(QStringLiteral("questionbox"))
        .expectText(QStringLiteral("qt_msgbox_label"),
                    QStringLiteral("The file ") + town +
                        QStringLiteral(" already exists. Do you want to replace it?"))
        .click(QStringLiteral("nobut"))
        .expectWindow(QStringLiteral("filefrm"))
        .click(QStringLiteral("okbut"))
        .expectWindow(QStringLiteral("questionbox"))
        .click(QStringLiteral("yesbut"));
    QVERIFY(choose(state, driver));
    QCOMPARE(QString::fromStdString(state.ProblemFileName), town);

    // A new name is taken without a question.
    ModalDriver fresh;
    fresh.expectWindow(QStringLiteral("filefrm"))
        .setText(QStringLiteral("Text1"), QStringLiteral("village"))
        .click(QStringLiteral("okbut"));
    QVERIFY(choose(state, fresh));
    QVERIFY(fresh.messages().isEmpty());
    QCOMPARE(QString::fromStdString(state.ProblemFileName),
             QDir(dir_->path()).canonicalPath() + QStringLiteral("/village.fl"));
}

void FileChooserTest::nameOfAFileNotReadIsOfferedAgain() {
    // A study sends the user back after a file it could not read: the chooser opens on the same
    // folder with that name chosen, once.
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    state.ChooserFolder = dir_->path().toStdString() + "/sub";
    state.ChooserName = "inner.fl";
    filefrm chooser(state);
    QCOMPARE(chooser.Text1->text(), QStringLiteral("inner.fl"));
    QCOMPARE(chooser.File1->currentItem()->text(), QStringLiteral("inner.fl"));
    QVERIFY(state.ChooserName.empty());
    filefrm next(state);
    QCOMPARE(next.Text1->text(), QString());
}

QTEST_MAIN(FileChooserTest)
#include "filefrm_test.moc"
