#pragma once
// The password dialog (template 111): asked before a changed configuration is
// written to a module. It checks the entry against the module's password
// itself and ends with QDialog::Accepted only on a match; at the same time
// the user may choose a new password.
//
//   CDlgInputPwd dialog(this);
//   dialog.SetExpectedPassword(FieldText(record.Password));
//   if (dialog.exec() != QDialog::Accepted) return;  // nothing is written
//   if (dialog.ChangePassword()) StoreMbcsField(dialog.NewPassword(), record.Password);
//
// A new password is accepted only when it fits the record's 16-byte field
// and survives the trip through GBK, so storing it never cuts or alters it.
#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

namespace Ui {
class CDlgInputPwd;
}

class CDlgInputPwd : public QDialog {
public:
    explicit CDlgInputPwd(QWidget* parent = nullptr);
    ~CDlgInputPwd() override;

    // The module's password, compared exactly (letter case counts).
    void SetExpectedPassword(const QString& password) { expected_ = password; }

    // The entries as taken by the last "确定".
    const QString& Password() const { return password_; }
    bool ChangePassword() const { return changePassword_; }
    const QString& NewPassword() const { return newPassword_; }
    const QString& Confirmation() const { return confirmation_; }

private:
    void CheckEntry();

    std::unique_ptr<Ui::CDlgInputPwd> ui_;
    QString expected_;
    QString password_;
    QString newPassword_;
    QString confirmation_;
    bool changePassword_ = false;
};

// Why a new password cannot be stored in a module record, or nothing when it
// can: more than 15 GBK bytes, or characters GBK lacks (they would be stored
// as '?', and the password typed later would never match).
std::optional<QString> NewPasswordProblem(const QString& password);
