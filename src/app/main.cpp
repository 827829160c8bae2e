#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>

#include "app/modulestate.h"
#include "app/studies.h"

#include "shell/mainfrm.h"
#include "shell/messages.h"
#include "version.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(davrenta::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(davrenta::kVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.davrenta.Davrenta"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/davrenta.png")));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Facilities planning studies."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A problem file (.fl, .sf, .sm, .mh or .mhs) to open in its study."),
        QStringLiteral("[FILE]"));
    options.process(app);

    davrenta::ModuleState state;
    davrenta::mainfrm window(state, davrenta::MakeStudyTable(state));
    window.Form_Load();
    if (const QStringList files = options.positionalArguments(); !files.isEmpty())
        QTimer::singleShot(0, &window,
                           [&window, file = files.front()] { window.openProblemFile(file); });
    return QApplication::exec();
}
