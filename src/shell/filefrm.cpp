#include "shell/filefrm.h"

#include <optional>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/dirlist.h"
#include "shell/messages.h"
#include "shell/openfile.h"
#include "shell/recentfiles.h"
#include "shell/windowkit.h"
#include "state/atomicfile.h"
#include "state/filename.h"
#include "state/messagetext.h"

namespace davrenta {

namespace {

bool UsableVolume(const QStorageInfo& volume) {
    return volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir();
}

QString StudyFilesName(Study study) {
    switch (study) {
    case Study::PopMap:
        return QStringLiteral("Population Map");
    case Study::SingleFacility:
        return QStringLiteral("Single Facility");
    case Study::SiteMatch:
        return QStringLiteral("Facilities / Sites Matching");
    case Study::MhActivity:
        return QStringLiteral("Material Handling Activity");
    case Study::MhSimulation:
        return QStringLiteral("Material Handling Simulation");
    case Study::None:
        break;
    }
    return QString();
}

QString FolderCannotBeRead(const QString& path) {
    return QStringLiteral("The folder ") + path + QStringLiteral(" cannot be read.");
}

} // namespace

QString ChooserTitle(const ShellState& state) {
    QString title = state.SaveMode == ChooserMode::Write ? QStringLiteral("File - Save ")
                                                         : QStringLiteral("File - Open ");
    const QString study = StudyFilesName(state.ModuleFlag);
    if (study.isEmpty())
        return title + QStringLiteral("a Problem");
    return title + study + QStringLiteral(" Problem (") +
           QString::fromStdString(ProblemFilePattern(StudyFlag(state.ModuleFlag))) +
           QLatin1Char(')');
}

filefrm::filefrm(ShellState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("filefrm"), ChooserTitle(state_));

    Text1 = MakeTextBox(this, QStringLiteral("Text1"), QStringLiteral("File name"));
    File1 = new QListWidget(this);
    NameControl(File1, QStringLiteral("File1"), QStringLiteral("Files"));
    File1->setSelectionMode(QAbstractItemView::SingleSelection);
    Dir1 = new DirectoryList(this);
    NameControl(Dir1, QStringLiteral("Dir1"), QStringLiteral("Folders"));
    Drive1 = new QComboBox(this);
    NameControl(Drive1, QStringLiteral("Drive1"), QStringLiteral("Drives"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    cancelbut = MakeButton(this, QStringLiteral("cancelbut"), QStringLiteral("&Cancel"));
    examplesbut = MakeButton(this, QStringLiteral("examplesbut"), QStringLiteral("&Examples"));
    examplesbut->setToolTip(QStringLiteral("Show the example problems that come with Davrenta"));
    okbut->setDefault(true);

    auto* nameLabel = new QLabel(QStringLiteral("File &name:"), this);
    nameLabel->setBuddy(Text1);
    auto* folderLabel = new QLabel(QStringLiteral("&Folders:"), this);
    folderLabel->setBuddy(Dir1);
    auto* driveLabel = new QLabel(QStringLiteral("D&rives:"), this);
    driveLabel->setBuddy(Drive1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(nameLabel, 0, 0);
    layout->addWidget(Text1, 1, 0);
    layout->addWidget(File1, 2, 0, 3, 1);
    layout->addWidget(folderLabel, 0, 1);
    layout->addWidget(Dir1, 1, 1, 2, 1);
    layout->addWidget(driveLabel, 3, 1);
    layout->addWidget(Drive1, 4, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okbut);
    buttons->addWidget(cancelbut);
    buttons->addSpacing(12);
    buttons->addWidget(examplesbut);
    buttons->addStretch();
    layout->addLayout(buttons, 1, 2, 4, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    resize(620, 380);

    setTabOrder(Text1, File1);
    setTabOrder(File1, Dir1);
    setTabOrder(Dir1, Drive1);
    setTabOrder(Drive1, okbut);
    setTabOrder(okbut, cancelbut);
    setTabOrder(cancelbut, examplesbut);

    connect(Drive1, &QComboBox::activated, this, [this](int) { Drive1_Change(); });
    connect(Dir1, &DirectoryList::pathChanged, this, [this](const QString&) { Dir1_Change(); });
    connect(Dir1, &DirectoryList::pathRefused, this, [this](const QString& path) {
        ShowMessage(this, FolderCannotBeRead(QDir::toNativeSeparators(path)));
    });
    // Keyboard moves through the list count as clicks too.
    connect(File1, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { File1_Click(); });
    connect(File1, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* current, QListWidgetItem*) {
                if (current)
                    File1_Click();
            });
    connect(File1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { File1_DblClick(); });
    connect(okbut, &QPushButton::clicked, this, &filefrm::okbut_Click);
    connect(cancelbut, &QPushButton::clicked, this, &filefrm::cancelbut_Click);
    connect(examplesbut, &QPushButton::clicked, this, &filefrm::examplesbut_Click);

    // Opening the chooser: no file yet; the folder it last showed in this session, else the
    // process's current directory.
    state_.ProblemFileName.clear();
    fillDrives();
    const QString remembered = QString::fromStdString(state_.ChooserFolder);
    if ((remembered.isEmpty() || !Dir1->setPath(remembered)) &&
        !Dir1->setPath(QDir::currentPath()) && !Dir1->setPath(QDir::homePath()))
        Dir1->setPath(QDir::rootPath());
    selectDriveOf(Dir1->path());
    state_.ChooserFolder = Dir1->path().toStdString();
    fillFiles();
    // Back after a file that could not be read: its name stays, ready to be corrected.
    if (!state_.ChooserName.empty()) {
        const QString name = QString::fromStdString(state_.ChooserName);
        state_.ChooserName.clear();
        const QList<QListWidgetItem*> listed = File1->findItems(name, Qt::MatchExactly);
        if (!listed.isEmpty()) {
            const QSignalBlocker quiet(File1);
            File1->setCurrentItem(listed.front());
        }
        Text1->setText(name);
        Text1->selectAll();
    }
    Text1->setFocus();
}

void filefrm::fillDrives() {
    const QString current = Drive1->currentData().toString();
    Drive1->clear();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (UsableVolume(volume) && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    roots.sort();
    for (const QString& root : roots)
        Drive1->addItem(QDir::toNativeSeparators(root), root);
    if (!current.isEmpty())
        Drive1->setCurrentIndex(Drive1->findData(current));
}

void filefrm::selectDriveOf(const QString& path) {
    QString root = QStorageInfo(path).rootPath();
    if (root.isEmpty())
        root = QDir::rootPath();
    int index = Drive1->findData(root);
    if (index < 0) {
        Drive1->addItem(QDir::toNativeSeparators(root), root);
        index = Drive1->count() - 1;
    }
    Drive1->setCurrentIndex(index);
    driveRoot_ = root;
}

void filefrm::fillFiles() {
    File1->clear();
    QDir dir(Dir1->path());
    dir.setNameFilters({QString::fromStdString(ProblemFilePattern(StudyFlag(state_.ModuleFlag)))});
    dir.setFilter(QDir::Files | QDir::CaseSensitive);
    dir.setSorting(QDir::Name);
    File1->addItems(dir.entryList());
}

void filefrm::showDirectory(const QString& path) {
    if (!Dir1->setPath(path)) {
        ShowMessage(this, FolderCannotBeRead(QDir::toNativeSeparators(path)));
        return;
    }
    Dir1_Change();
}

void filefrm::Drive1_Change() {
    const QString root = Drive1->currentData().toString();
    if (root == driveRoot_)
        return;
    const QStorageInfo volume(root);
    if (root.isEmpty() || !UsableVolume(volume) || !Dir1->setPath(root)) {
        // A vanished medium or an unreachable drive: no file from this chooser.
        ShowMessage(this, kInvalidDeviceText);
        state_.ProblemFileName.clear();
        reject();
        return;
    }
    driveRoot_ = root;
    Dir1_Change();
}

void filefrm::Dir1_Change() {
    selectDriveOf(Dir1->path());
    state_.ChooserFolder = Dir1->path().toStdString();
    fillFiles();
}

void filefrm::File1_Click() {
    const QListWidgetItem* item = File1->currentItem();
    if (!item)
        return;
    Text1->setText(QString::fromStdString(ClickedFileName(
        item->text().toStdString(), state_.SaveMode, StudyFlag(state_.ModuleFlag))));
    state_.FileChosen();
}

void filefrm::File1_DblClick() {
    const QListWidgetItem* item = File1->currentItem();
    if (!item)
        return;
    Text1->setText(item->text());
    okbut_Click();
}

void filefrm::okbut_Click() {
    // A path typed in the name box (absolute, relative to the folder shown, or from "~/"):
    // a folder is opened in the lists, a file's folder is shown and its name kept.
    QString typed = Text1->text();
    if (typed.startsWith(QStringLiteral("~/")))
        typed = QDir::homePath() + typed.mid(1);
    if (const qsizetype cut = typed.lastIndexOf(QLatin1Char(kPathSeparator)); cut >= 0) {
        const QFileInfo info(QDir(Dir1->path()), typed);
        const bool folderOnly = info.isDir();
        if (!Dir1->setPath(folderOnly ? info.absoluteFilePath() : info.absolutePath())) {
            const QString folder = folderOnly ? typed : typed.left(cut + 1);
            ShowMessage(this, FolderCannotBeRead(QString::fromStdString(
                                  QuoteForMessage(folder.toStdString(), 80))));
            return;
        }
        Dir1_Change();
        Text1->setText(folderOnly ? QString() : info.fileName());
        if (folderOnly)
            return;
    }
    const std::optional<std::string> chosen =
        ChosenProblemFileName(Dir1->path().toStdString(), Text1->text().toStdString(),
                              state_.SaveMode, StudyFlag(state_.ModuleFlag));
    if (!chosen) {
        ShowMessage(this, kInvalidFileNameText);
        return;
    }
    const QFileInfo target(QString::fromStdString(*chosen));
    const QString shown = QString::fromStdString(ShownPath(*chosen));
    if (state_.SaveMode == ChooserMode::Read && !target.exists()) {
        ShowMessage(this, QStringLiteral("There is no file ") + shown +
                              QStringLiteral(". Choose a file from the list, or correct the "
                                             "name."));
        Text1->setFocus();
        Text1->selectAll();
        return;
    }
    if (state_.SaveMode == ChooserMode::Write && target.isFile() &&
        !AskQuestion(this, QStringLiteral("The file ") + shown +
                               QStringLiteral(" already exists. Do you want to replace it?"))) {
        Text1->setFocus();
        Text1->selectAll();
        return;
    }
    state_.ProblemFileName = *chosen;
    state_.FileChosen();
    NoteRecentProblem(QString::fromStdString(*chosen));
    accept();
}

int filefrm::exec() {
    if (state_.SaveMode != ChooserMode::Read || PendingProblemFile().empty())
        return QDialog::exec();
    state_.ProblemFileName = TakePendingProblemFile();
    state_.ChooserFolder =
        QFileInfo(QString::fromStdString(state_.ProblemFileName)).absolutePath().toStdString();
    state_.FileChosen();
    NoteRecentProblem(QString::fromStdString(state_.ProblemFileName));
    accept();
    return result();
}

void filefrm::cancelbut_Click() {
    state_.ProblemFileName.clear();
    reject();
}

void filefrm::examplesbut_Click() {
    const QString examples = ExamplesDirectory();
    if (examples.isEmpty()) {
        ShowMessage(this, QStringLiteral("The example problems are not installed."));
        return;
    }
    showDirectory(examples);
}

QString filefrm::ExamplesDirectory() {
    const QStringList candidates = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/davrenta/examples"),
        QStringLiteral(DAVRENTA_EXAMPLES_DIR),
        QStringLiteral(DAVRENTA_INSTALLED_EXAMPLES_DIR),
    };
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isDir())
            return QDir::cleanPath(QDir(candidate).absolutePath());
    return QString();
}

} // namespace davrenta
