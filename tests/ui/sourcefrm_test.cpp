// The input-source window: what each answer leaves in the shared state for its caller.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app/modulestate.h"
#include "modaldriver.h"
#include "shell/controls.h"
#include "shell/sourcefrm.h"

using davrenta::ModuleState;
using davrenta::sourcefrm;
using davrenta::testing::ModalDriver;

namespace {

void FillMapInput(davrenta::PopMap& fl) {
    for (int i = 1; i <= davrenta::kMapLines; ++i) {
        fl.MapLine[i] = "AB";
        fl.NumberedMap[i] = "12";
        fl.MarkedServiceMap[i] = "1*";
        fl.BestServiceMap[i] = "AB";
        fl.NearOptimalMap[i] = "%X";
        fl.MapLineLength[i] = 2;
    }
    fl.MapInputLine = 7;
    fl.AreaSymbol[1] = "A";
}

// Opens the window, lets `button` be clicked and returns whether the script passed.
bool Answer(ModuleState& state, const QString& button, QString* failure) {
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("sourcefrm")).click(button);
    const bool ok = driver.run([&] {
        sourcefrm window(state);
        window.exec();
    });
    *failure = driver.failure();
    return ok;
}

} // namespace

class SourceWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithCaptionPromptAndBlankSourceFlag();
    void keyboardEmptiesMapTablesWhateverTheStudy();
    void diskSetsLoadModeAndSourceFlag();
    void backLeavesSourceFlagBlank();
};

void SourceWindowTest::opensWithCaptionPromptAndBlankSourceFlag() {
    ModuleState state;
    state.SourceFlag = davrenta::Source::Disk;
    sourcefrm window(state);
    QCOMPARE(state.SourceFlag, davrenta::Source::None);
    QCOMPARE(window.windowTitle(), QStringLiteral("Input Source"));
    QCOMPARE(window.Label1->text(), QStringLiteral("How would you like to enter data?"));
    QCOMPARE(davrenta::PlainCaption(window.Keybut->text()),
             QStringLiteral("New Problem From Keyboard"));
    QCOMPARE(davrenta::PlainCaption(window.diskbut->text()),
             QStringLiteral("Existing Problem From Disk"));
    QCOMPARE(davrenta::PlainCaption(window.backbut->text()), QStringLiteral("Back"));
    QCOMPARE(window.backbut->accessibleName(), QStringLiteral("Back"));
    QVERIFY(window.Keybut->isDefault());
}

void SourceWindowTest::keyboardEmptiesMapTablesWhateverTheStudy() {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::SiteMatch;
    FillMapInput(state.fl);
    QString failure;
    QVERIFY2(Answer(state, QStringLiteral("Keybut"), &failure), qPrintable(failure));
    QCOMPARE(state.SourceFlag, davrenta::Source::Keyboard);
    QCOMPARE(state.ModuleFlag, davrenta::Study::SiteMatch);
    for (int i = 1; i <= davrenta::kMapLines; ++i) {
        QVERIFY(state.fl.MapLine[i].empty());
        QVERIFY(state.fl.NumberedMap[i].empty());
        QVERIFY(state.fl.MarkedServiceMap[i].empty());
        QVERIFY(state.fl.BestServiceMap[i].empty());
        QVERIFY(state.fl.NearOptimalMap[i].empty());
        QCOMPARE(state.fl.MapLineLength[i], 0);
    }
    QCOMPARE(state.fl.MapInputLine, 0);
    QCOMPARE(state.fl.AreaSymbol[1], std::string("A")); // areas are typed again over the old ones
}

void SourceWindowTest::diskSetsLoadModeAndSourceFlag() {
    ModuleState state;
    state.SaveMode = davrenta::ChooserMode::Write;
    state.fl.maptype = davrenta::MapType::NewService;
    FillMapInput(state.fl);
    QString failure;
    QVERIFY2(Answer(state, QStringLiteral("diskbut"), &failure), qPrintable(failure));
    QCOMPARE(state.SourceFlag, davrenta::Source::Disk);
    QCOMPARE(state.SaveMode, davrenta::ChooserMode::Read);
    QCOMPARE(state.fl.maptype, davrenta::MapType::Input);
    QCOMPARE(state.fl.MapLine[1], std::string("AB")); // loading replaces the map only once read
}

void SourceWindowTest::backLeavesSourceFlagBlank() {
    ModuleState state;
    state.SourceFlag = davrenta::Source::Keyboard;
    state.SaveMode = davrenta::ChooserMode::Write;
    FillMapInput(state.fl);
    QString failure;
    QVERIFY2(Answer(state, QStringLiteral("backbut"), &failure), qPrintable(failure));
    QCOMPARE(state.SourceFlag, davrenta::Source::None);
    QCOMPARE(state.SaveMode, davrenta::ChooserMode::Write);
    QCOMPARE(state.fl.MapLine[1], std::string("AB"));
}

QTEST_MAIN(SourceWindowTest)
#include "sourcefrm_test.moc"
