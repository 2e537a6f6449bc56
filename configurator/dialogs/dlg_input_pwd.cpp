#include "dialogs/dlg_input_pwd.h"

#include <QCoreApplication>
#include <QPushButton>

#include "common/text_codec.h"
#include "toolkit/toolkit.h"
#include "ui_dlg_input_pwd.h"

namespace {
// The record's Password field: 15 bytes of text and the terminator.
constexpr std::size_t kPasswordFieldBytes = 16;
}  // namespace

std::optional<QString> NewPasswordProblem(const QString& password) {
    if (!FitsMbcsField(password, kPasswordFieldBytes))
        return QCoreApplication::translate("CDlgInputPwd", "新密码太长（最多15个字节，一个汉字占2个字节），请从新输入");
    if (MbcsToText(TextToMbcs(password)) != password)
        return QCoreApplication::translate("CDlgInputPwd", "新密码含有模块不支持的字符，请从新输入");
    return std::nullopt;
}

CDlgInputPwd::CDlgInputPwd(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CDlgInputPwd>()) {
    ui_->setupUi(this);
    // Enter reaches "确定" as the default button; Esc and the close box reject.
    connect(ui_->okButton, &QPushButton::clicked, this, &CDlgInputPwd::CheckEntry);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CDlgInputPwd::~CDlgInputPwd() = default;

void CDlgInputPwd::CheckEntry() {
    password_ = ui_->passwordEdit->text();
    changePassword_ = ui_->changePasswordCheck->isChecked();
    newPassword_ = ui_->newPasswordEdit->text();
    confirmation_ = ui_->confirmEdit->text();

    // A refused entry leaves the dialog open with every field as typed.
    if (password_ != expected_) {
        qrvtune::ShowMessage(QCoreApplication::translate("CDlgInputPwd", "输入的密码不正确，请从新输入"));
        return;
    }
    if (changePassword_) {
        if (newPassword_ != confirmation_) {
            qrvtune::ShowMessage(QCoreApplication::translate("CDlgInputPwd", "两次输入的密码不匹配，请从新输入"));
            return;
        }
        if (const auto problem = NewPasswordProblem(newPassword_)) {
            qrvtune::ShowMessage(*problem);
            return;
        }
    }
    accept();
}
