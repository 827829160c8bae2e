// The main window from start-up: credits in front, the Help menu, the study entries and Exit.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <functional>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "popmap/model.h"
#include "shell/controls.h"
#include "shell/creditfrm.h"
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

// A guide file in a temporary folder; empty when it cannot be written.
QString WriteGuide(const QTemporaryDir& dir, const QString& name) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write("# Guide\n") < 0)
        return {};
    return file.fileName();
}

// Stands in for the desktop's browser: records the file URLs it is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> opened;

  public slots:
    void open(const QUrl& url) { opened << url; }
};

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
    void userGuideOpensTheFirstGuideFound();
    void userGuideMissingSaysWhereItBelongs();
    void userGuideThatCannotBeShownSaysWhereItIs();
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

void MainWindowTest::userGuideOpensTheFirstGuideFound() {
    // The installed place is empty; the next candidate is there and goes to the desktop.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString guide = WriteGuide(dir, QStringLiteral("guide.html"));
    QVERIFY(!guide.isEmpty());
    QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("folder.html"))));

    UrlCatcher browser;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    window.setGuideFiles({dir.filePath(QStringLiteral("installed/guide.html")),
                          dir.filePath(QStringLiteral("folder.html")), guide});
    window.show();
    ModalDriver driver(&window);
    driver.expectWindow(QStringLiteral("mainfrm")).click(QStringLiteral("guidemnu"));
    const bool ok = driver.run();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY2(ok, qPrintable(driver.failure()));
    QVERIFY(driver.messages().isEmpty());
    QCOMPARE(browser.opened.size(), 1);
    QCOMPARE(browser.opened.front(), QUrl::fromLocalFile(guide));
}

void MainWindowTest::userGuideMissingSaysWhereItBelongs() {
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    int opened = 0;
    window.setGuideOpener([&](const QUrl&) { return ++opened, true; });
    window.setGuideFiles({QStringLiteral("/nonexistent/davrenta/guide/guide.html"),
                          QStringLiteral("/nonexistent/davrenta/guide/guide.md")});
    window.show();
    ModalDriver driver(&window);
    driver.expectWindow(QStringLiteral("mainfrm"))
        .click(QStringLiteral("guidemnu"))
        .expectMessage(QStringLiteral("The User Guide is not installed. It belongs in "
                                      "/nonexistent/davrenta/guide/guide.html; it comes with the "
                                      "davrenta package."))
        .expectWindow(QStringLiteral("mainfrm"));
    QVERIFY2(driver.run(), qPrintable(driver.failure()));
    QCOMPARE(opened, 0);
}

void MainWindowTest::userGuideThatCannotBeShownSaysWhereItIs() {
    // No program to show it (a desktop without a browser): the user learns where the file is.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString guide = WriteGuide(dir, QStringLiteral("guide.md"));
    QVERIFY(!guide.isEmpty());
    ModuleState state;
    mainfrm window(state, davrenta::MakeStudyTable(state));
    QList<QUrl> asked;
    window.setGuideOpener([&](const QUrl& url) { return asked << url, false; });
    window.setGuideFiles({guide});
    window.show();
    ModalDriver driver(&window);
    driver.expectWindow(QStringLiteral("mainfrm"))
        .click(QStringLiteral("guidemnu"))
        .expectMessage(QStringLiteral("The User Guide could not be opened. Open ") + guide +
                       QStringLiteral(" in a web browser."));
    QVERIFY2(driver.run(), qPrintable(driver.failure()));
    QCOMPARE(asked, QList<QUrl>{QUrl::fromLocalFile(guide)});
}

QTEST_MAIN(MainWindowTest)
#include "mainfrm_test.moc"
