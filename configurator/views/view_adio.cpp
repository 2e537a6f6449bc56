#include "views/view_adio.h"

#include "ui_view_adio.h"

CViewADIO::CViewADIO(QWidget* parent) : CPageBase(parent), ui_(std::make_unique<Ui::CViewADIO>()) {
    ui_->setupUi(this);
}

CViewADIO::~CViewADIO() = default;
