#pragma once
// Page "基本信息": the property form of the module read last (local or
// remote). The page calls no SDK function; the read and modify flows put a
// record on it and take the user's edits back (see views/module_record.h).
#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "qrvlink/qrvlink.h"
#include "views/module_record.h"
#include "views/page_base.h"

namespace Ui {
class CViewBaseInfo;
}
class MbcsFieldValidator;
class QLabel;
class QLineEdit;

class CViewBaseInfo : public CPageBase {
    Q_DECLARE_TR_FUNCTIONS(CViewBaseInfo)

public:
    explicit CViewBaseInfo(QWidget* parent = nullptr);
    ~CViewBaseInfo() override;

    // Shows the twelve form fields of `property` and the status line (its
    // run state from `base`). The hint box keeps its text.
    void PropertyToForm(const ModuleBase& base, const ModuleProperty& property);

    // Writes the twelve form fields into `property`; every other byte stays.
    // A field the form cannot express is kept as the record holds it: an
    // unedited or oversized name, an address box without a hexadecimal
    // number, a list with no entry selected.
    void FormToProperty(ModuleProperty& property) const;

    // The hexadecimal boxes against the field table; the first one that
    // holds no value of its range is marked, named with its range in a
    // message and focused. False then: nothing may be written.
    bool CheckValues();

    QString HintText() const;

    // The local address the form would write: nothing when its box holds no
    // hexadecimal number (the record's address is then kept).
    std::optional<std::uint16_t> FormLocalAddress() const;

    // The module the record on the page was read from, and the line naming
    // it above the fields (set by ShowModuleRecord).
    void SetHeldModule(const FormModule& module, const QString& text);
    const FormModule& HeldModule() const { return held_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct HexBox {
        QLineEdit* box;
        QLabel* label;
        const char* field;  // in the library's field table
    };
    std::vector<HexBox> HexBoxes() const;
    void ShowFieldHint(int number);
    void ShowNameBytesLeft(const QString& name);
    void ExplainRefusedName();

    std::unique_ptr<Ui::CViewBaseInfo> ui_;
    MbcsFieldValidator* nameValidator_ = nullptr;  // owned by the name box
    FormModule held_;
};
