#pragma once

#include <initializer_list>

#include <QDialog>

#include "app/modulestate.h"
#include "shell/windowkit.h"

class QHBoxLayout;
class QPushButton;

namespace davrenta {

// This window leaves the study's chain and `Next` takes its place; when `Next` closes, so
// does this window's exec(), and control unwinds to the window below.
template <typename Next> void HandOver(QDialog* from, ModuleState& state) {
    HideForSuccessor(from);
    OpenModal<Next>(state, from);
    from->accept();
}

// The buttons of a small window, at its right edge.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

} // namespace davrenta
