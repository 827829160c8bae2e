// Problem files handed to the program: on its command line, dropped on the main window and
// taken from the recent problems, each opening its study as if chosen in the study's chooser.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "shell/openfile.h"
#include "shell/recentfiles.h"
#include "studywindows.h"

using davrenta::mainfrm;
using davrenta::RecentProblemsList;
using davrenta::Study;
using davrenta::testing::ModalDriver;
using davrenta::testing::StudyWindows;

namespace {

const QString kExamples = QDir::cleanPath(QStringLiteral(DAVRENTA_EXAMPLES_DIR));

// The study's first screens up to the window that shows the loaded problem; no input-source
// window and no chooser may come in between.
void FirstScreensToLoaded(ModalDriver& d, Study study) {
    switch (study) {
    case Study::PopMap:
        d.expectWindow("fldescfrm")
            .click("contbut")
            .expectWindow("flgridfrm")
            .click("Contbut")
            .expectWindow("flfrm")
            .click("onefacbut")
            .expectWindow("zedu1frm")
            .click("mintravbut")
            .click("rectbut")
            .expectWindow("flocgridfrm");
        break;
    case Study::SingleFacility:
        d.expectWindow("sfdescfrm").click("contbut").expectWindow("sfgridfrm");
        break;
    case Study::SiteMatch:
        d.expectWindow("smdescfrm")
            .click("Ok")
            .expectWindow("smfrm")
            .click("onecmd")
            .expectWindow("smgridfrm");
        break;
    case Study::MhActivity:
        d.expectWindow("mhactdescfrm")
            .click("Command1")
            .expectWindow("mhinput1frm")
            .click("rectbut")
            .expectWindow("mhdatafrm");
        break;
    case Study::MhSimulation:
        d.expectWindow("mhsdescfrm")
            .click("okbut")
            .expectWindow("mhsinput1frm")
            .click("input1but")
            .expectWindow("mhsinput2frm");
        break;
    case Study::None:
        break;
    }
}

void Drop(QWidget* window, const QString& file, bool* accepted) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    *accepted = enter.isAccepted() && drop.isAccepted();
}

QStringList ListTexts(const mainfrm& window) {
    QStringList texts;
    const QListWidget* list = window.recentpanel->recentlist;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

} // namespace

class OpenFileTest : public QObject {
    Q_OBJECT

    StudyWindows study{[](mainfrm&) {}};
    QTemporaryDir settings;

    // Opens a file as `how` says and walks its study to the loaded problem.
    void openAndWalk(const QString& file, Study kind, bool byDrop) {
        ModalDriver d(study.main.get());
        FirstScreensToLoaded(d, kind);
        d.check("the study holds the file", [this, file](QWidget*, QString* why) {
             *why = QString::fromStdString(study.state.ProblemFileName);
             return *why == file;
         }).closeAll();
        bool taken = false;
        bool accepted = false;
        const bool ok = study.walk(d, [&] {
            if (byDrop)
                Drop(study.main.get(), file, &accepted);
            else
                taken = study.main->openProblemFile(file);
        });
        QVERIFY(ok);
        QVERIFY(byDrop ? accepted : taken);
        QVERIFY(davrenta::PendingProblemFile().empty());
    }

  private slots:
    void init() {
        QVERIFY(settings.isValid());
        QFile::remove(settings.filePath("recent.ini"));
        davrenta::SetRecentProblemsFile(settings.filePath("recent.ini"));
        study.open();
    }
    void cleanup() { study.close(); }

    void filesAreKnownByTheirEndingInAnyCase() {
        QCOMPARE(davrenta::StudyOfFile("/a/b.FL"), Study::PopMap);
        QCOMPARE(davrenta::StudyOfFile("b.mhs"), Study::MhSimulation);
        QCOMPARE(davrenta::StudyOfFile("b.mh"), Study::MhActivity);
        QCOMPARE(davrenta::StudyOfFile("b.sm.txt"), Study::None);
        QCOMPARE(davrenta::StudyOfFile("fl"), Study::None);
    }

    void everyExampleOpensInItsStudy_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("byDrop");
        const QStringList files = QDir(kExamples).entryList(QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 5);
        for (const QString& name : files) {
            const QString path = QDir(kExamples).filePath(name);
            QTest::newRow(qPrintable(name + " named")) << path << false;
            QTest::newRow(qPrintable(name + " dropped")) << path << true;
        }
    }
    void everyExampleOpensInItsStudy() {
        QFETCH(QString, file);
        QFETCH(bool, byDrop);
        const Study kind = davrenta::StudyOfFile(file);
        QVERIFY(kind != Study::None);
        openAndWalk(file, kind, byDrop);
        QCOMPARE(davrenta::RecentProblemFiles(), QStringList{file});
    }

    void unreadableFileShowsItsReadersMessageAndStaysAtTheMainWindow() {
        const QString broken = study.dir.filePath("broken.sf");
        QFile out(broken);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("2\r\n1,2,3\r\n4,5\r\n");
        out.close();
        ModalDriver d(study.main.get());
        d.expectMessage(QStringLiteral("The file %1 cannot be read: line 3, facility record 2: "
                                       "the file ends before the weight of facility 2. The "
                                       "current problem is unchanged.")
                            .arg(broken))
            .expectNoWindow();
        bool taken = true;
        QVERIFY(study.walk(d, [&] { taken = study.main->openProblemFile(broken); }));
        QVERIFY(!taken);
        QCOMPARE(study.state.ModuleFlag, Study::None);
        QVERIFY(davrenta::PendingProblemFile().empty());
        QCOMPARE(davrenta::RecentProblemFiles(), QStringList{});
    }

    void fileOfNoStudyOrMissingIsRefusedWithAMessage() {
        const QString notes = study.dir.filePath("notes.txt");
        QFile(notes).open(QIODevice::WriteOnly);
        const QString gone = study.dir.filePath("gone.mh");
        ModalDriver d(study.main.get());
        d.expectMessage(notes + " is not a problem file of Davrenta. Problem files end in .fl, "
                                ".sf, .sm, .mh or .mhs.")
            .expectMessage("The file " + gone + " cannot be found.")
            .expectNoWindow();
        QVERIFY(study.walk(d, [&] {
            QVERIFY(!study.main->openProblemFile(notes));
            QVERIFY(!study.main->openProblemFile(gone));
        }));
    }

    void leavingTheStudyBeforeItAsksLeavesNoFilePending() {
        ModalDriver d(study.main.get());
        d.expectWindow("sfdescfrm").click("backbut").expectNoWindow();
        bool taken = true;
        const QString file = QDir(kExamples).filePath("depot-range.sf");
        QVERIFY(study.walk(d, [&] { taken = study.main->openProblemFile(file); }));
        QVERIFY(!taken);
        QVERIFY(davrenta::PendingProblemFile().empty());
        // The next study entered from its button asks for its source as usual.
        ModalDriver again(study.main.get());
        again.expectWindow("sfdescfrm")
            .click("contbut")
            .expectWindow("sourcefrm")
            .click("backbut")
            .closeAll();
        QVERIFY(study.walk(again, [&] { study.main->sflcmd_Click(); }));
    }

    void recentProblemsSurviveARestartNewestFirstAndMarkAMissingOne() {
        const QString copy = study.dir.filePath("copy-of-town.fl");
        QVERIFY(QFile::copy(QDir(kExamples).filePath("small-town.fl"), copy));
        openAndWalk(QDir(kExamples).filePath("mezzanine.mh"), Study::MhActivity, false);
        openAndWalk(copy, Study::PopMap, true);
        openAndWalk(QDir(kExamples).filePath("mezzanine.mh"), Study::MhActivity, false);
        QVERIFY(QFile::remove(copy));

        study.close(); // a restart: a new main window reads the settings again
        study.open();
        const QString examples = QDir::toNativeSeparators(kExamples);
        const QString dir = QDir::toNativeSeparators(study.dir.path());
        QCOMPARE(ListTexts(*study.main),
                 (QStringList{"mezzanine.mh   " + examples,
                              "copy-of-town.fl   " + dir + "   (missing)"}));

        // Opening the missing one says so and keeps it; Remove takes it off for good.
        RecentProblemsList* panel = study.main->recentpanel;
        panel->recentlist->setCurrentRow(1);
        ModalDriver d(study.main.get());
        d.expectMessage("The file " + copy + " cannot be found.").expectNoWindow();
        QVERIFY(study.walk(d, [&] { panel->recentopenbut->click(); }));
        QCOMPARE(panel->recentlist->count(), 2);
        panel->recentremovebut->click();
        study.close();
        study.open();
        QCOMPARE(ListTexts(*study.main), QStringList{"mezzanine.mh   " + examples});
    }

    void recentProblemsKeepTheLastEight() {
        for (int i = 1; i <= 10; ++i)
            davrenta::NoteRecentProblem(study.dir.filePath(QStringLiteral("p%1.sm").arg(i)));
        davrenta::NoteRecentProblem(study.dir.filePath("p5.sm")); // opened again: moves up
        const QStringList files = davrenta::RecentProblemFiles();
        QStringList names;
        for (const QString& f : files)
            names << QFileInfo(f).fileName();
        QCOMPARE(names, (QStringList{"p5.sm", "p10.sm", "p9.sm", "p8.sm", "p7.sm", "p6.sm", "p4.sm",
                                     "p3.sm"}));
        QCOMPARE(study.main->recentpanel->recentlist->count(), 8);
    }
};

QTEST_MAIN(OpenFileTest)
#include "openfile_test.moc"
