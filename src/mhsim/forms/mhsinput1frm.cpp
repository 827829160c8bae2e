#include "mhsim/forms/mhsinput1frm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhsim/forms/mhsinput2frm.h"
#include "mhsim/problemfile.h"
#include "mhsim/texts.h"
#include "shell/controls.h"
#include "shell/filefrm.h"
#include "shell/messages.h"
#include "shell/sourcefrm.h"
#include "shell/windowkit.h"

namespace davrenta {

mhsinput1frm::mhsinput1frm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhsinput1frm"),
                QStringLiteral("Material Handling Simulation"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"),
                       QStringLiteral("Material Handling Simulation Options"));
    input1but = MakeButton(this, QStringLiteral("input1but"), QStringLiteral("&Multi-servers"));
    input2but =
        MakeButton(this, QStringLiteral("input2but"), QStringLiteral("Multi-servers + &Lock door"));
    input3but = MakeButton(this, QStringLiteral("input3but"),
                           QStringLiteral("Multi-servers + Limited &queue size"));
    input4but = MakeButton(this, QStringLiteral("input4but"),
                           QStringLiteral("Multi-servers + Lock &door + Limited queue size"));
    input5but = MakeButton(this, QStringLiteral("input5but"), QStringLiteral("&Return"));
    input1but->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    for (QPushButton* b : {input1but, input2but, input3but, input4but, input5but})
        layout->addWidget(b);

    connect(input1but, &QPushButton::clicked, this, &mhsinput1frm::input1but_Click);
    connect(input2but, &QPushButton::clicked, this, &mhsinput1frm::input2but_Click);
    connect(input3but, &QPushButton::clicked, this, &mhsinput1frm::input3but_Click);
    connect(input4but, &QPushButton::clicked, this, &mhsinput1frm::input4but_Click);
    connect(input5but, &QPushButton::clicked, this, &mhsinput1frm::input5but_Click);
}

void mhsinput1frm::chooseOption(int option) {
    MhSimState& mhs = state_.mhs;
    mhs.SimOption = option;
    state_.SourceFlag = Source::None;
    OpenModal<sourcefrm>(state_, this);
    if (state_.SourceFlag == Source::Keyboard) {
        mhs.InputsBlank = true;
        mhs.DistCode = 0;
        OpenModal<mhsinput2frm>(state_, this);
        return;
    }
    if (state_.SourceFlag != Source::Disk) {
        accept();
        return;
    }
    state_.SaveMode = ChooserMode::Read;
    OpenModal<filefrm>(state_, this);
    if (state_.ProblemFileName.empty()) {
        accept();
        return;
    }
    if (Status read = ReadMhsFile(state_); !read) {
        // Nothing was loaded; the user picks another option or file here.
        ShowMessage(this, read.message());
        return;
    }
    if (option == 4) {
        HideForSuccessor(this);
        OpenModal<mhsinput2frm>(state_, this);
        accept();
        return;
    }
    OpenModal<mhsinput2frm>(state_, this);
}

void mhsinput1frm::input5but_Click() {
    accept();
}

} // namespace davrenta
