#include "shell/guidefrm.h"

#include <QFileInfo>
#include <QHash>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/windowkit.h"

namespace davrenta {

guidefrm::guidefrm(QWidget* parent) : QDialog(parent) {
    SetUpWindow(this, QStringLiteral("guidefrm"), QStringLiteral("Davrenta User Guide"));
    setModal(false);
    guidetxt = new QTextBrowser(this);
    NameControl(guidetxt, QStringLiteral("guidetxt"), QStringLiteral("User Guide"));
    // Links are followed here: a chapter in place, anything outside the guide not at all.
    guidetxt->setOpenLinks(false);
    homebut = MakeButton(this, QStringLiteral("homebut"), QStringLiteral("C&ontents"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    closebut = MakeButton(this, QStringLiteral("closebut"), QStringLiteral("&Close"));
    backbut->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(guidetxt, 1);
    layout->addLayout(ButtonRow({homebut, backbut, closebut}));

    connect(guidetxt, &QTextBrowser::anchorClicked, this, &guidefrm::follow);
    connect(guidetxt, &QTextBrowser::backwardAvailable, backbut, &QPushButton::setEnabled);
    connect(guidetxt, &QTextBrowser::sourceChanged, this, [this] { nameHeadings(); });
    connect(homebut, &QPushButton::clicked, this, [this] {
        guidetxt->setSource(guidetxt->source().adjusted(QUrl::RemoveFragment));
        guidetxt->verticalScrollBar()->setValue(0);
    });
    connect(backbut, &QPushButton::clicked, guidetxt, &QTextBrowser::backward);
    connect(closebut, &QPushButton::clicked, this, &QDialog::close);

    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        resize(std::min(area.width(), 980), area.height() * 9 / 10);
    }
}

bool guidefrm::showGuide(const QString& file) {
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return false;
    guidetxt->clearHistory();
    guidetxt->setSource(QUrl::fromLocalFile(info.absoluteFilePath()),
                        QTextDocument::MarkdownResource);
    return !guidetxt->document()->isEmpty();
}

QString guidefrm::HeadingAnchor(const QString& heading) {
    QString anchor = heading.normalized(QString::NormalizationForm_KD).toLower();
    anchor.remove(QRegularExpression(QStringLiteral("[^\\w\\s-]")));
    return anchor.trimmed().replace(QRegularExpression(QStringLiteral("[-\\s]+")),
                                    QStringLiteral("-"));
}

void guidefrm::nameHeadings() {
    // Markdown headings carry no anchor of their own; each gets the one the guide links to, a
    // repeated heading "_1", "_2" after its first.
    QHash<QString, int> seen;
    for (QTextBlock block = guidetxt->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || block.text().isEmpty())
            continue;
        QString anchor = HeadingAnchor(block.text());
        if (const int before = seen[anchor]++; before > 0)
            anchor += QLatin1Char('_') + QString::number(before);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat named;
        named.setAnchor(true);
        named.setAnchorNames({anchor});
        cursor.mergeCharFormat(named);
    }
    if (const QString fragment = guidetxt->source().fragment(); !fragment.isEmpty())
        guidetxt->scrollToAnchor(fragment);
}

void guidefrm::follow(const QUrl& link) {
    const QUrl here = guidetxt->source();
    const QUrl target = here.resolved(link);
    if (target.adjusted(QUrl::RemoveFragment) == here.adjusted(QUrl::RemoveFragment))
        guidetxt->setSource(target);
}

} // namespace davrenta
