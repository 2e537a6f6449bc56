#include "app/about_dlg.h"

#include <QPushButton>

#include "app/versions.h"
#include "ui_about_dlg.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CAboutDlg>()) {
    ui_->setupUi(this);
    ui_->versionLabel->setText(ui_->versionLabel->text().arg(ProgramVersion()));
    ui_->sdkVersionLabel->setText(ui_->sdkVersionLabel->text().arg(SdkVersion()));
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDlg::~CAboutDlg() = default;
