#include "shell/openfile.h"

#include <utility>

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "shell/messages.h"

namespace davrenta {

namespace {

std::string& Pending() {
    static std::string file;
    return file;
}

} // namespace

const std::string& PendingProblemFile() {
    return Pending();
}

std::string TakePendingProblemFile() {
    return std::exchange(Pending(), std::string());
}

Study StudyOfFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (Study study : {Study::PopMap, Study::SingleFacility, Study::SiteMatch, Study::MhActivity,
                        Study::MhSimulation})
        if (suffix ==
            QLatin1String(StudyFlag(study).data(), static_cast<qsizetype>(StudyFlag(study).size())))
            return study;
    return Study::None;
}

bool OpenProblemFile(ShellState& state, const StudyTable& table, const QString& path,
                     QWidget* parent) {
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    const Study study = StudyOfFile(path);
    if (!StudyAvailable(table, study)) {
        ShowMessage(parent, QStringLiteral("%1 is not a problem file of Davrenta. Problem files "
                                           "end in .fl, .sf, .sm, .mh or .mhs.")
                                .arg(shown));
        return false;
    }
    if (!info.isFile()) {
        ShowMessage(parent, QStringLiteral("The file %1 cannot be found.").arg(shown));
        return false;
    }
    const std::string file = QDir::cleanPath(info.absoluteFilePath()).toStdString();
    // Refused before the study opens, so that a bad file leaves the user at the main window.
    if (const StudyRow* row = FindStudy(table, study); row->readFile) {
        if (Status read = row->readFile(file); !read) {
            ShowMessage(parent, read.message());
            return false;
        }
    }
    state.SaveMode = ChooserMode::Read;
    Pending() = file;
    EnterStudy(state, table, study, parent);
    // Still pending: the user left the study before it asked for its problem.
    return TakePendingProblemFile().empty();
}

QStringList DroppedFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

namespace {

class DropTaker : public QObject {
  public:
    DropTaker(QWidget* window, std::function<void(const QString&)> open)
        : QObject(window), open_(std::move(open)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (DroppedFiles(drag->mimeData()).isEmpty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = DroppedFiles(drop->mimeData());
            if (files.isEmpty())
                return false;
            drop->acceptProposedAction();
            QTimer::singleShot(0, this, [this, file = files.front()] { open_(file); });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

  private:
    std::function<void(const QString&)> open_;
};

} // namespace

void AcceptProblemDrops(QWidget* window, std::function<void(const QString&)> open) {
    window->setAcceptDrops(true);
    window->installEventFilter(new DropTaker(window, std::move(open)));
}

} // namespace davrenta
