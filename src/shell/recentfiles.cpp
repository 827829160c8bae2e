#include "shell/recentfiles.h"

#include <algorithm>
#include <memory>

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/windowkit.h"

namespace davrenta {

namespace {

const QString kRecentKey = QStringLiteral("recent/problems");

QString& SettingsFileOverride() {
    static QString file;
    return file;
}

std::unique_ptr<QSettings> OpenSettings() {
    if (!SettingsFileOverride().isEmpty())
        return std::make_unique<QSettings>(SettingsFileOverride(), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("davrenta"), QStringLiteral("davrenta"));
}

void Store(const QStringList& files) {
    auto settings = OpenSettings();
    settings->setValue(kRecentKey, files);
    settings->sync();
    emit RecentProblemsSignal::instance()->changed();
}

} // namespace

QStringList RecentProblemFiles() {
    QStringList files = OpenSettings()->value(kRecentKey).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    while (files.size() > kRecentProblems)
        files.removeLast();
    return files;
}

void NoteRecentProblem(const QString& path) {
    if (path.isEmpty())
        return;
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList files = RecentProblemFiles();
    files.removeAll(file);
    files.prepend(file);
    while (files.size() > kRecentProblems)
        files.removeLast();
    Store(files);
}

void ForgetRecentProblem(const QString& path) {
    QStringList files = RecentProblemFiles();
    if (files.removeAll(path) > 0)
        Store(files);
}

void SetRecentProblemsFile(const QString& file) {
    SettingsFileOverride() = file;
    emit RecentProblemsSignal::instance()->changed();
}

RecentProblemsSignal* RecentProblemsSignal::instance() {
    // Never destroyed: lists may still be connected while the program ends.
    static auto* signal = new RecentProblemsSignal;
    return signal;
}

RecentProblemsList::RecentProblemsList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("recentpanel"));
    recentlbl = MakeLabel(this, QStringLiteral("recentlbl"));
    recentlbl->setText(QStringLiteral("&Recent problems:"));
    recentlist = new QListWidget(this);
    recentlist->setObjectName(QStringLiteral("recentlist"));
    recentlist->setAccessibleName(QStringLiteral("Recent problems"));
    recentlbl->setBuddy(recentlist);
    recentopenbut = MakeButton(this, QStringLiteral("recentopenbut"), QStringLiteral("&Open"));
    recentremovebut =
        MakeButton(this, QStringLiteral("recentremovebut"), QStringLiteral("Re&move"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(recentlbl);
    layout->addWidget(recentlist, 1);
    layout->addLayout(ButtonRow({recentopenbut, recentremovebut}));
    setTabOrder(recentlist, recentopenbut);
    setTabOrder(recentopenbut, recentremovebut);

    connect(recentlist, &QListWidget::itemActivated, this, [this] { recentopenbut_Click(); });
    connect(recentlist, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    connect(recentopenbut, &QPushButton::clicked, this, &RecentProblemsList::recentopenbut_Click);
    connect(recentremovebut, &QPushButton::clicked, this,
            &RecentProblemsList::recentremovebut_Click);
    connect(RecentProblemsSignal::instance(), &RecentProblemsSignal::changed, this,
            &RecentProblemsList::refresh);
    refresh();
}

void RecentProblemsList::refresh() {
    const QString selected = selectedFile();
    recentlist->clear();
    for (const QString& file : RecentProblemFiles()) {
        const QFileInfo info(file);
        QString text =
            QStringLiteral("%1   %2").arg(info.fileName(), QDir::toNativeSeparators(info.path()));
        const bool missing = !info.isFile();
        if (missing)
            text += QStringLiteral("   (missing)");
        auto* item = new QListWidgetItem(text, recentlist);
        item->setData(Qt::UserRole, file);
        item->setToolTip(QDir::toNativeSeparators(file));
        if (missing)
            item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        if (file == selected)
            recentlist->setCurrentItem(item);
    }
    updateButtons();
}

QString RecentProblemsList::selectedFile() const {
    const QListWidgetItem* item = recentlist->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void RecentProblemsList::recentopenbut_Click() {
    const QString file = selectedFile();
    if (!file.isEmpty())
        emit openRequested(file);
}

void RecentProblemsList::recentremovebut_Click() {
    const int row = recentlist->currentRow();
    const QString file = selectedFile();
    if (file.isEmpty())
        return;
    ForgetRecentProblem(file);
    // The next line takes the removed one's place, so that several go with repeated presses.
    recentlist->setCurrentRow(std::min(row, recentlist->count() - 1));
}

void RecentProblemsList::updateButtons() {
    const bool chosen = recentlist->currentItem() != nullptr;
    recentopenbut->setEnabled(chosen);
    recentremovebut->setEnabled(chosen);
}

} // namespace davrenta
