#pragma once

#include <memory>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"

namespace davrenta::testing {

// Where every population-map window test starts: the main window over a fresh state, the
// process in a temporary folder; walk() enters the study from the main window.
struct StudyWindows {
    ModuleState state;
    std::unique_ptr<mainfrm> main;
    QTemporaryDir dir;

    void open() {
        state = ModuleState{};
        main = std::make_unique<mainfrm>(state, MakeStudyTable(state));
        main->setExitHandler([] {});
        main->show();
        QVERIFY(dir.isValid());
        QDir::setCurrent(dir.path());
    }
    void close() { main.reset(); }

    bool walk(ModalDriver& d) {
        const bool ok = d.run([this] { main->flcmd_Click(); });
        if (!ok)
            qWarning("%s", qPrintable(d.failure()));
        return ok;
    }
};

} // namespace davrenta::testing
