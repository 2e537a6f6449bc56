#pragma once
// Page "高级": the four framing and retry values the property form does not
// show, and the firmware upgrade button. The values live here as plain
// integers; ShowModuleRecord fills them and CollectModuleRecord takes them
// into a record (views/module_record.h), cutting them to the field widths.
#include <QCoreApplication>
#include <QString>
#include <memory>
#include <vector>

#include "common/record_fields.h"
#include "views/operation_target.h"
#include "views/page_base.h"

class Session;

namespace Ui {
class CViewDevAdvCfg;
}
class QLabel;
class QLineEdit;

class CViewDevAdvCfg : public CPageBase {
    Q_DECLARE_TR_FUNCTIONS(CViewDevAdvCfg)

public:
    explicit CViewDevAdvCfg(Session& session, QWidget* parent = nullptr);
    ~CViewDevAdvCfg() override;

    // Which module the page's actions are for; the main window answers.
    OperationTargetSource& TargetSource() { return target_; }

    // Sets the values and shows them in the boxes.
    void SetAdvancedValues(const AdvancedValues& values);

    // Takes the boxes into the values. A box that holds no whole number is
    // refused with "请输入一个整数。" and keeps (and shows again) its
    // previous value; the others are taken.
    const AdvancedValues& CommitAdvancedValues();

    // Every box against the field table; the first that holds no value of
    // its range is marked, named with its range in a message and focused.
    // False then: nothing may be written.
    bool CheckValues();

    const AdvancedValues& Values() const { return values_; }
    // The line naming the module whose values the page shows.
    void SetHeldModuleText(const QString& text);
    QString HintText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Box {
        QLineEdit* box;
        QLabel* label;
        const char* field;  // in the library's field table
        int hint;
    };
    std::vector<Box> Boxes() const;
    void PushValues();
    void ShowFieldHint(int number);

    // "升级": upgrades the current target module through the upgrade dialog
    // (view_dev_adv_cfg_upgrade.cpp).
    void UpgradeTarget();

    Session& session_;
    std::unique_ptr<Ui::CViewDevAdvCfg> ui_;
    AdvancedValues values_;
    bool showingHint_ = false;
    OperationTargetSource target_;
};
