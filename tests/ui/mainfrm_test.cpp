// The main window from start-up: credits in front, the Help menu, the study entries and Exit.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QtTest>

#include <functional>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "popmap/model.h"
#include "shell/controls.h"
#include "shell/creditfrm.h"
#include "shell/guidefrm.h"
#include "shell/mainfrm.h"
#include "shell/studytable.h"
#include "version.h"

using davrenta::mainfrm;
using davrenta::ModuleState;
using davrenta::Study;
using davrenta::testing::ModalDriver;

namespace {

// Population-map data in every table that entering the study clears, plus what it keeps.
void FillPopulationMap(davrenta::PopMap& fl) {
    for (int i = 1; i <= davrenta::kMapLines; ++i) {
        fl.MapLine[i] = "AAB";
        fl.NumberedMap[i] = "112";
        fl.MarkedServiceMap[i] = "1*2";
        fl.BestServiceMap[i] = "AB";
        fl.NearOptimalMap[i] = "%X";
        fl.ServiceMap[i] = "11";
        fl.MapLineLength[i] = 3;
    }
    fl.MapLine[davrenta::kMapLines + 1] = "slot 51";
    for (int a = 1; a <= davrenta::kMaxAreas; ++a) {
        fl.AreaSymbol[a] = "A";
        fl.AreaPopulation[a] = 10.5;
    }
    for (int k = 1; k <= davrenta::kMaxExistingPods; ++k) {
        fl.PodLine[k] = 3;
        fl.PodColumn[k] = 4;
    }
    fl.AreaCount = 2;
    fl.ExistingPodCount = 1;
    fl.MapEndLine = 6;
}

// Enters a study as the main window does. When the study is built its description window
// opens; it is closed unanswered, as "Back" would, so only the entry's own effects remain.
bool EnterAndLeave(ModuleState& state, Study study, QWidget* parent, QString* failure) {
    const davrenta::StudyTable table = davrenta::MakeStudyTable(state);
    ModalDriver driver;
    if (davrenta::StudyAvailable(table, study))
        driver
            .waitUntil(QStringLiteral("the description window"),
                       [](QWidget*) { return QApplication::activeModalWidget() != nullptr; })
            .closeAll();
    const bool ok = driver.run([&] { davrenta::EnterStudy(state, table, study, parent); });
    *failure = driver.failure();
    return ok;
}

// A guide with one picture and a link to its second chapter, in a temporary folder; empty when
// it cannot be written.
QString WriteGuide(const QTemporaryDir& dir, const QString& name) {
    QDir(dir.path()).mkpath(QStringLiteral("images"));
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QFile file(dir.filePath(name));
    if (!picture.save(dir.filePath(QStringLiteral("images/pic.png"))) ||
        !file.open(QIODevice::WriteOnly) ||
        file.write("# Guide\n\nSee [the second part](#the-second-part).\n\n"
                   "![A picture](images/pic.png)\n\n## The second part\n\nText.\n") < 0)
        return {};
    return file.fileName();
}

// The images the guide's window shows, each as the browser loads it.
QList<QImage> GuidePictures(QTextBrowser* browser, QStringList* names) {
    QList<QImage> pictures;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            *names << name;
            pictures << browser->document()
                            ->resource(QTextDocument::ImageResource, QUrl(name))
                            .value<QImage>();
        }
    return pictures;
}

// Links within the guide whose heading it does not have.
QStringList LinksWithoutHeading(QTextBrowser* browser) {
    QStringList anchors, links;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            anchors << format.anchorNames();
            if (format.anchorHref().startsWith(QLatin1Char('#')))
                links << format.anchorHref().mid(1);
        }
    QStringList missing;
    for (const QString& link : std::as_const(links))
        if (!anchors.contains(link))
            missing << link;
    return missing;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startShowsCreditsInFrontOfMainWindow();
    void aboutBringsTheCreditsBack();
    void controlsHaveTheirNamesAndCaptions();
    void studyEntriesFollowWhatIsBuilt();
    void enteringAStudySetsModuleFlag_data();
    void enteringAStudySetsModuleFlag();
    void helpEntriesEnterTheirStudies();
    void enteringPopulationMapClearsItsTables();
    void enteringAnotherStudyKeepsPopulationMapTables();
    void exitRunsTheExitHandler();
    void windowIconIsBuiltIn();
    void userGuideShowsTheFirstGuideFoundWithItsPictures();
    void userGuideOfTheBuildShowsEveryPictureAndChapter();
    void headingAnchorsAreSpelledAsTheGuideLinksThem();
    void userGuideMissingSaysWhereItBelongs();
};

void MainWindowTest::startShowsCreditsInFrontOfMainWindow() {
    ModuleState state;
    state.SaveMode = davrenta::ChooserMode::Write;
    state.LineBreak = 'x';
    mainfrm window(state, davrenta::MakeStudyTable(state));
    ModalDriver driver(&window);
    driver.expectWindow(QStringLiteral("creditfrm"))
        .expectCaption(QStringLiteral("Davrenta"))
        .expectText(QStringLiteral("productlbl"), QStringLiteral("Davrenta"))
        .expectText(QStringLiteral("versionlbl"),
                    QStringLiteral("Version ") + QString::fromLatin1(davrenta::kVersion))
        .expectText(QStringLiteral("okbut2"), QStringLiteral("ok"))
        .check(QStringLiteral("the main window is shown beneath, blocked"),
               [&](QWidget* credits, QString* why) {
                   *why = QStringLiteral("main visible %1, credits modal %2, parent ok %3")
                              .arg(window.isVisible())
                              .arg(credits->windowModality() == Qt::ApplicationModal)
                              .arg(credits->parentWidget() == &window);
                   // What start-up set before the credits opened.
                   return window.isVisible() && credits->windowModality() == Qt::ApplicationModal &&
                          credits->parentWidget() == &window &&
                          state.SaveMode == davrenta::ChooserMode::Read && state.LineBreak == '\r';
               })
        .click(QStringLiteral("okbut2"))
        .expectWindow(QStringLiteral("mainfrm"));
    QVERIFY2(driver.run([&] { window.Form_Load(); }), qPrintable(driver.failure()));
    QCOMPARE(window.Label1->text(), QStringLiteral("Davrenta\n\nClick on Option"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Davrenta"));
    QVERIFY(window.isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

void MainWindowTest::aboutBringsTheCreditsBack() {
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    window.show();
    state.ModuleFlag = davrenta::Study::SiteMatch;
    ModalDriver driver(&window);
    driver.expectWindow(QStringLiteral("mainfrm"))
        .click(QStringLiteral("helpmnu(5)"))
        .expectWindow(QStringLiteral("creditfrm"))
        .click(QStringLiteral("okbut2"))
        .expectWindow(QStringLiteral("mainfrm"))
        .click(QStringLiteral("helpmnu(5)"))
        .expectWindow(QStringLiteral("creditfrm"))
        .click(QStringLiteral("okbut2"));
    QVERIFY2(driver.run(), qPrintable(driver.failure()));
    QCOMPARE(state.ModuleFlag, davrenta::Study::SiteMatch); // About is no study
}

void MainWindowTest::controlsHaveTheirNamesAndCaptions() {
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    const std::pair<QPushButton*, QString> buttons[] = {
        {window.flcmd, QStringLiteral(" Determine POD Locations By Population Map")},
        {window.sflcmd, QStringLiteral("Determine Single POD Location By Demand")},
        {window.exitcmd, QStringLiteral("Exit")},
    };
    for (const auto& [button, caption] : buttons) {
        QCOMPARE(davrenta::PlainCaption(button->text()), caption);
        QVERIFY(!button->accessibleName().isEmpty());
        QVERIFY2(button->text().contains(QLatin1Char('&')), "every button has a mnemonic");
    }
    QCOMPARE(window.flcmd->objectName(), QStringLiteral("flcmd"));
    QCOMPARE(window.mainmnu->objectName(), QStringLiteral("mainmnu"));
    QCOMPARE(davrenta::PlainCaption(window.mainmnu->title()), QStringLiteral("Help"));

    // The Help menu, in order, "User Guide" after the study entries and About.
    QList<QAction*> entries = window.mainmnu->actions();
    entries.removeIf([](QAction* a) { return a->isSeparator(); });
    const QStringList names = {"helpmenu",   "helpmnu(1)", "helpmnu(2)", "helpmnu(3)",
                               "helpmnu(4)", "helpmnu(5)", "guidemnu"};
    const QStringList captions = {"Single Facility Location By Demand",
                                  "Facility Location By Population Map",
                                  "Facility Site Matching",
                                  "Material Handling Activity",
                                  "Material Handling Simulation",
                                  "About",
                                  "User Guide"};
    QCOMPARE(entries.size(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(entries[i]->objectName(), names[i]);
        QCOMPARE(davrenta::PlainCaption(entries[i]->text()), captions[i]);
    }
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(window.helpmnu[static_cast<std::size_t>(i)], entries[i]);
}

void MainWindowTest::studyEntriesFollowWhatIsBuilt() {
    // A table where only the matching study has windows: its entry alone is enabled, the
    // others stay visible but disabled, and About and Exit always work.
    ModuleState state;
    int opened = 0;
    davrenta::StudyTable table = {{Study::PopMap, {}, {}},
                                  {Study::SiteMatch, {}, [&](QWidget*) { ++opened; }}};
    mainfrm window(state, table);
    QVERIFY(!window.flcmd->isEnabled());
    QVERIFY(!window.helpmnu[1]->isEnabled());
    QVERIFY(!window.sflcmd->isEnabled());
    QVERIFY(!window.helpmenu->isEnabled());
    QVERIFY(window.helpmnu[2]->isEnabled());
    QVERIFY(!window.helpmnu[3]->isEnabled());
    QVERIFY(!window.helpmnu[4]->isEnabled());
    QVERIFY(window.helpmnu[5]->isEnabled());
    QVERIFY(window.exitcmd->isEnabled());
    for (QWidget* entry :
         {static_cast<QWidget*>(window.flcmd), static_cast<QWidget*>(window.sflcmd)})
        QVERIFY(entry->isVisibleTo(&window));
    window.helpmnu_Click(2);
    QCOMPARE(opened, 1);
    QCOMPARE(state.ModuleFlag, Study::SiteMatch);
}

void MainWindowTest::enteringAStudySetsModuleFlag_data() {
    QTest::addColumn<int>("study");
    for (Study study : {Study::PopMap, Study::SingleFacility, Study::SiteMatch, Study::MhActivity,
                        Study::MhSimulation})
        QTest::newRow(davrenta::StudyFlag(study).data()) << static_cast<int>(study);
}

void MainWindowTest::enteringAStudySetsModuleFlag() {
    QFETCH(int, study);
    ModuleState state;
    state.ModuleFlag = Study::None;
    QString failure;
    QVERIFY2(EnterAndLeave(state, static_cast<Study>(study), nullptr, &failure),
             qPrintable(failure));
    QCOMPARE(state.ModuleFlag, static_cast<Study>(study));
    QVERIFY(!QApplication::activeModalWidget());
}

void MainWindowTest::helpEntriesEnterTheirStudies() {
    const std::pair<int, Study> entries[] = {{1, Study::PopMap},
                                             {2, Study::SiteMatch},
                                             {3, Study::MhActivity},
                                             {4, Study::MhSimulation}};
    auto enter = [](Study flag, const std::function<void(mainfrm&)>& click) {
        ModuleState state;
        mainfrm window(state, davrenta::MakeStudyTable(state));
        window.show();
        ModalDriver driver(&window);
        if (davrenta::StudyAvailable(davrenta::MakeStudyTable(state), flag))
            driver
                .waitUntil(QStringLiteral("the description window"),
                           [](QWidget*) { return QApplication::activeModalWidget() != nullptr; })
                .closeAll();
        const bool ok = driver.run([&] { click(window); });
        return ok && state.ModuleFlag == flag;
    };
    for (const auto& [index, flag] : entries)
        QVERIFY2(enter(flag, [i = index](mainfrm& w) { w.helpmnu_Click(i); }),
                 davrenta::StudyFlag(flag).data());
    QVERIFY(enter(Study::SingleFacility, [](mainfrm& w) { w.sflcmd_Click(); }));
    QVERIFY(enter(Study::SingleFacility, [](mainfrm& w) { w.helpmenu_Click(); }));
    QVERIFY(enter(Study::PopMap, [](mainfrm& w) { w.flcmd_Click(); }));
}

void MainWindowTest::enteringPopulationMapClearsItsTables() {
    // As after "Back" on the description window.
    ModuleState state;
    FillPopulationMap(state.fl);
    QString failure;
    QVERIFY2(EnterAndLeave(state, Study::PopMap, nullptr, &failure), qPrintable(failure));

    const davrenta::PopMap& fl = state.fl;
    QCOMPARE(state.ModuleFlag, Study::PopMap);
    for (int i = 1; i <= davrenta::kMapLines; ++i) {
        QVERIFY(fl.MapLine[i].empty());
        QVERIFY(fl.NumberedMap[i].empty());
        QVERIFY(fl.MarkedServiceMap[i].empty());
        QVERIFY(fl.BestServiceMap[i].empty());
        QVERIFY(fl.NearOptimalMap[i].empty());
        QVERIFY(fl.ServiceMap[i].empty());
        QCOMPARE(fl.MapLineLength[i], 0);
    }
    for (int a = 1; a <= davrenta::kMaxAreas; ++a) {
        QVERIFY(fl.AreaSymbol[a].empty());
        QCOMPARE(fl.AreaPopulation[a], 0.0);
    }
    for (int k = 1; k <= davrenta::kMaxExistingPods; ++k) {
        QCOMPARE(fl.PodLine[k], 0);
        QCOMPARE(fl.PodColumn[k], 0);
    }
    // Counts are the input paths' business; slot 51 is never touched.
    QCOMPARE(fl.AreaCount, 2);
    QCOMPARE(fl.ExistingPodCount, 1);
    QCOMPARE(fl.MapEndLine, 6);
    QCOMPARE(fl.MapLine[davrenta::kMapLines + 1], std::string("slot 51"));
}

void MainWindowTest::enteringAnotherStudyKeepsPopulationMapTables() {
    for (Study flag :
         {Study::SingleFacility, Study::SiteMatch, Study::MhActivity, Study::MhSimulation}) {
        ModuleState state;
        FillPopulationMap(state.fl);
        const davrenta::PopMap before = state.fl;
        QString failure;
        QVERIFY2(EnterAndLeave(state, flag, nullptr, &failure), qPrintable(failure));
        QCOMPARE(state.ModuleFlag, flag);
        QVERIFY(state.fl.MapLine == before.MapLine);
        QVERIFY(state.fl.AreaSymbol == before.AreaSymbol);
        QVERIFY(state.fl.PodLine == before.PodLine);
    }
}

void MainWindowTest::exitRunsTheExitHandler() {
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    window.show();
    int exits = 0;
    window.setExitHandler([&] { ++exits; });
    ModalDriver driver(&window);
    driver.expectWindow(QStringLiteral("mainfrm")).click(QStringLiteral("exitcmd"));
    QVERIFY2(driver.run(), qPrintable(driver.failure()));
    QCOMPARE(exits, 1);
}

void MainWindowTest::windowIconIsBuiltIn() {
    const QImage icon(QStringLiteral(":/icons/davrenta.png"));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.size(), QSize(256, 256));
}

void MainWindowTest::userGuideShowsTheFirstGuideFoundWithItsPictures() {
    // The first place is empty and the second a folder; the third holds the guide, shown in
    // the program with its picture, its link taking the reader to the chapter.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString guide = WriteGuide(dir, QStringLiteral("guide.md"));
    QVERIFY(!guide.isEmpty());
    QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("folder.md"))));
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    window.setGuideFiles({dir.filePath(QStringLiteral("installed/guide.md")),
                          dir.filePath(QStringLiteral("folder.md")), guide});
    window.show();
    ModalDriver driver(&window);
    driver.expectWindow(QStringLiteral("mainfrm")).click(QStringLiteral("guidemnu"));
    QVERIFY2(driver.run(), qPrintable(driver.failure()));
    QVERIFY(driver.messages().isEmpty());
    davrenta::guidefrm* shown = window.guideWindow();
    QVERIFY(shown && shown->isVisible());
    QCOMPARE(shown->guidetxt->source(), QUrl::fromLocalFile(guide));
    QVERIFY(
        shown->guidetxt->toPlainText().startsWith(QStringLiteral("Guide\nSee the second part.")));
    QStringList names;
    const QList<QImage> pictures = GuidePictures(shown->guidetxt, &names);
    QCOMPARE(names, QStringList{QStringLiteral("images/pic.png")});
    QCOMPARE(pictures.front().size(), QSize(3, 2));
    QVERIFY(LinksWithoutHeading(shown->guidetxt).isEmpty());
    QVERIFY(!shown->guidetxt->isBackwardAvailable());
    emit shown->guidetxt->anchorClicked(QUrl(QStringLiteral("#the-second-part")));
    QCOMPARE(shown->guidetxt->source().fragment(), QStringLiteral("the-second-part"));
    QVERIFY(shown->backbut->isEnabled());
    // Asked again, the same window comes back.
    window.guidemnu_Click();
    QCOMPARE(window.guideWindow(), shown);
}

void MainWindowTest::userGuideOfTheBuildShowsEveryPictureAndChapter() {
    // The guide as the build lays it out beside the program, as the package installs it.
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    window.show();
    window.guidemnu_Click();
    davrenta::guidefrm* shown = window.guideWindow();
    QVERIFY(shown && shown->isVisible());
    QVERIFY2(
        shown->guidetxt->source().path().endsWith(QStringLiteral("/share/davrenta/guide/guide.md")),
        qPrintable(shown->guidetxt->source().toString()));
    QStringList names;
    const QList<QImage> pictures = GuidePictures(shown->guidetxt, &names);
    QVERIFY(names.contains(QStringLiteral("images/mainfrm.png")));
    QVERIFY(names.size() > 40);
    for (int i = 0; i < pictures.size(); ++i)
        QVERIFY2(!pictures[i].isNull(), qPrintable(names[i]));
    const QStringList missing = LinksWithoutHeading(shown->guidetxt);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

void MainWindowTest::headingAnchorsAreSpelledAsTheGuideLinksThem() {
    QCOMPARE(davrenta::guidefrm::HeadingAnchor(QStringLiteral("Facilities / sites matching")),
             QStringLiteral("facilities-sites-matching"));
    QCOMPARE(davrenta::guidefrm::HeadingAnchor(QStringLiteral("The problem file (`.sf`)")),
             QStringLiteral("the-problem-file-sf"));
    QCOMPARE(davrenta::guidefrm::HeadingAnchor(QStringLiteral("davrenta-batch")),
             QStringLiteral("davrenta-batch"));
}

void MainWindowTest::userGuideMissingSaysWhereItBelongs() {
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    window.setGuideFiles({QStringLiteral("/nonexistent/davrenta/guide/guide.md"),
                          QStringLiteral("/nonexistent/source/docs/guide.md")});
    window.show();
    ModalDriver driver(&window);
    driver.expectWindow(QStringLiteral("mainfrm"))
        .click(QStringLiteral("guidemnu"))
        .expectMessage(QStringLiteral("The User Guide is not installed. It belongs in "
                                      "/nonexistent/davrenta/guide/guide.md; it comes with the "
                                      "davrenta package."))
        .expectWindow(QStringLiteral("mainfrm"));
    QVERIFY2(driver.run(), qPrintable(driver.failure()));
    QVERIFY(!window.guideWindow());
}

QTEST_MAIN(MainWindowTest)
#include "mainfrm_test.moc"
