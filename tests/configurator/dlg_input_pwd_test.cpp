// The password dialog on its own: the checks of "确定", the messages, the
// fields kept between attempts, Enter and Esc, and new passwords that could
// not be stored whole.
#include "dialogs/dlg_input_pwd.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui_fixture.h"

namespace {

using qrvtune::MessageIcon;

const QString kWrongPassword = QStringLiteral("输入的密码不正确，请从新输入");
const QString kMismatch = QStringLiteral("两次输入的密码不匹配，请从新输入");

class PasswordDialog : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        dialog_ = std::make_unique<CDlgInputPwd>();
        dialog_->SetExpectedPassword(QStringLiteral("Secret"));
        dialog_->show();
    }
    void TearDown() override {
        dialog_.reset();
        GuiTest::TearDown();
    }

    template <typename T>
    T* Child(const char* name) {
        T* child = dialog_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    void Enter(const QString& password, bool change = false, const QString& newPassword = {},
               const QString& confirmation = {}) {
        Child<QLineEdit>("passwordEdit")->setText(password);
        Child<QCheckBox>("changePasswordCheck")->setChecked(change);
        Child<QLineEdit>("newPasswordEdit")->setText(newPassword);
        Child<QLineEdit>("confirmEdit")->setText(confirmation);
    }
    void PressOk() { Child<QPushButton>("okButton")->click(); }

    // Still open, no result yet, and exactly this one message shown.
    void ExpectRefusedWith(const QString& text) {
        EXPECT_TRUE(dialog_->isVisible());
        EXPECT_EQ(dialog_->result(), 0);
        const std::vector<CapturedMessage> expected{{text, MessageIcon::None}};
        EXPECT_EQ(toolkit_.Messages(), expected);
        toolkit_.ClearMessages();
    }
    void ExpectAccepted() {
        EXPECT_FALSE(dialog_->isVisible());
        EXPECT_EQ(dialog_->result(), QDialog::Accepted);
        EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{});
    }

    std::unique_ptr<CDlgInputPwd> dialog_;
};

}  // namespace

TEST_F(PasswordDialog, WrongPasswordIsRefusedLetterCaseCountsAndTheFieldsStay) {
    Enter(QStringLiteral("secret"), true, QStringLiteral("n1"), QStringLiteral("n1"));
    PressOk();
    ExpectRefusedWith(kWrongPassword);
    EXPECT_EQ(Child<QLineEdit>("passwordEdit")->text(), QStringLiteral("secret"));
    EXPECT_EQ(Child<QLineEdit>("newPasswordEdit")->text(), QStringLiteral("n1"));
    EXPECT_TRUE(Child<QCheckBox>("changePasswordCheck")->isChecked());

    Child<QLineEdit>("passwordEdit")->setText(QStringLiteral("Secret"));
    PressOk();
    ExpectAccepted();
    EXPECT_TRUE(dialog_->ChangePassword());
    EXPECT_EQ(dialog_->NewPassword(), QStringLiteral("n1"));
}

TEST_F(PasswordDialog, NewPasswordsAreComparedOnlyWhenTheBoxIsTicked) {
    Enter(QStringLiteral("Secret"), true, QStringLiteral("new"), QStringLiteral("New"));
    PressOk();
    ExpectRefusedWith(kMismatch);

    Child<QCheckBox>("changePasswordCheck")->setChecked(false);
    PressOk();
    ExpectAccepted();
    EXPECT_FALSE(dialog_->ChangePassword());
}

TEST_F(PasswordDialog, TickedWithBothNewFieldsEmptyAcceptsAnEmptyNewPassword) {
    Enter(QStringLiteral("Secret"), true);
    PressOk();
    ExpectAccepted();
    EXPECT_TRUE(dialog_->ChangePassword());
    EXPECT_EQ(dialog_->NewPassword(), QString());
}

TEST_F(PasswordDialog, EmptyExpectedPasswordIsMatchedByAnEmptyEntry) {
    dialog_->SetExpectedPassword(QString());
    Enter(QStringLiteral(" "));
    PressOk();
    ExpectRefusedWith(kWrongPassword);
    Enter(QString());
    PressOk();
    ExpectAccepted();
}

TEST_F(PasswordDialog, NewPasswordThatCannotBeStoredWholeIsRefused) {
    // 15 GBK bytes fit: seven characters of two bytes and one ASCII letter.
    const QString fits = QStringLiteral("一二三四五六七A");
    const QString tooLong = QStringLiteral("一二三四五六七八");  // 16 bytes
    Enter(QStringLiteral("Secret"), true, tooLong, tooLong);
    PressOk();
    ExpectRefusedWith(QStringLiteral("新密码太长（最多15个字节，一个汉字占2个字节），请从新输入"));

    const QString notInGbk = QStringLiteral("pw\U0001F600");
    Enter(QStringLiteral("Secret"), true, notInGbk, notInGbk);
    PressOk();
    ExpectRefusedWith(QStringLiteral("新密码含有模块不支持的字符，请从新输入"));

    // With the box clear the new fields are not looked at.
    Enter(QStringLiteral("Secret"), false, tooLong, tooLong);
    PressOk();
    ExpectAccepted();

    dialog_->show();
    Enter(QStringLiteral("Secret"), true, fits, fits);
    PressOk();
    ExpectAccepted();
    EXPECT_EQ(dialog_->NewPassword(), fits);
}

TEST_F(PasswordDialog, EnterChecksTheEntryEscAndCancelCloseWithoutChecking) {
    Enter(QStringLiteral("Secret"));
    QTest::keyClick(Child<QLineEdit>("passwordEdit"), Qt::Key_Return);
    ExpectAccepted();

    dialog_->show();
    dialog_->setResult(0);
    Enter(QStringLiteral("wrong"));
    QTest::keyClick(Child<QLineEdit>("passwordEdit"), Qt::Key_Escape);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);

    dialog_->show();
    dialog_->setResult(0);
    Child<QPushButton>("cancelButton")->click();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{});  // neither checks the entry
}
