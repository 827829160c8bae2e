// davrenta-screenshots [--scale 2] [FOLDER] [STUDY...]: writes the guide's pictures of every
// study (or of the studies named) into FOLDER (docs/images when run from the source tree, or
// docs/images-200 at twice the scale).
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>

#include "app/modulestate.h"
#include "app/studies.h"
#include "camera.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "shell/recentfiles.h"

using namespace davrenta;
using namespace davrenta::screenshots;

namespace {

// The offscreen platform says what it cannot do for every window; that is no news here.
void QuietPlatform(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support")) ||
        text.startsWith(QStringLiteral("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s%s\n", type == QtWarningMsg ? "warning: " : "", qPrintable(text));
}

} // namespace

int main(int argc, char** argv) {
    // At twice the scale the pictures show what a user at 200 % on a 1280 x 800 laptop screen
    // sees: 640 x 400 to lay out in, every window as it fits (or scrolls) there.
    const bool twice =
        argc > 2 && std::strcmp(argv[1], "--scale") == 0 && std::strcmp(argv[2], "2") == 0;
    if (argc > 1 && std::strcmp(argv[1], "--scale") == 0 && !twice) {
        std::fprintf(stderr, "davrenta-screenshots: --scale takes 2 only\n");
        return 1;
    }
    if (twice)
        qputenv("QT_SCALE_FACTOR", "2");
    // Pictures come out the same on every machine: no display, one style, one palette, and a
    // screen of 1280 x 1024. The offscreen default of 800 x 600 would squeeze the wider windows
    // below the size they open at on a desk.
    const char* const kScreen = twice ? R"({"screens": [{"name": "shots", "x": 0, "y": 0,
        "width": 1280, "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})"
                                      : R"({"screens": [{"name": "shots", "x": 0, "y": 0,
        "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    QTemporaryDir platformDir;
    const QString screenFile = platformDir.filePath(QStringLiteral("screen.json"));
    QFile screen(screenFile);
    if (!platformDir.isValid() || !screen.open(QIODevice::WriteOnly) || screen.write(kScreen) < 0) {
        std::fprintf(stderr, "davrenta-screenshots: cannot write %s\n", qPrintable(screenFile));
        return 1;
    }
    screen.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screenFile));
    qputenv("QT_QPA_PLATFORMTHEME", "");
    qInstallMessageHandler(QuietPlatform);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 10));

    QStringList args = QApplication::arguments().mid(twice ? 3 : 1);
    // Absolute: every walk works in a temporary folder of its own.
    const QString folder = QDir(!args.isEmpty() ? args.takeFirst()
                                : twice         ? QStringLiteral("docs/images-200")
                                                : QStringLiteral("docs/images"))
                               .absolutePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "davrenta-screenshots: cannot make the folder %s\n",
                     qPrintable(folder));
        return 1;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "davrenta-screenshots: no temporary folder\n");
        return 1;
    }
    // The main window's recent problems start empty, whatever this machine's user opened.
    davrenta::SetRecentProblemsFile(work.filePath(QStringLiteral("settings.ini")));

    Camera camera(folder);
    int failed = 0;
    for (const ShotSet& set : ShotSets()) {
        if (!args.isEmpty() && !args.contains(QString::fromLatin1(set.name)))
            continue;
        const QString workFolder = QDir(work.path()).filePath(QString::fromLatin1(set.name));
        QDir().mkpath(workFolder);
        QDir::setCurrent(workFolder);
        ModuleState state;
        mainfrm main(state, MakeStudyTable(state));
        main.setExitHandler([] {});
        // Start-up as the program does it, credits answered.
        testing::ModalDriver start(&main);
        start.expectWindow(QStringLiteral("creditfrm")).click(QStringLiteral("okbut2"));
        if (!start.run([&] { main.Form_Load(); })) {
            std::fprintf(stderr, "%s: %s\n", set.name, qPrintable(start.failure()));
            ++failed;
            continue;
        }
        Session session{state, main, camera, workFolder};
        const QString failure = set.walk(session);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", set.name, qPrintable(failure));
            ++failed;
        }
    }
    for (const QString& f : std::as_const(camera.failures))
        std::fprintf(stderr, "%s\n", qPrintable(f));
    std::printf("%lld pictures in %s\n", static_cast<long long>(camera.taken.size()),
                qPrintable(folder));
    return failed == 0 && camera.failures.isEmpty() ? 0 : 1;
}
