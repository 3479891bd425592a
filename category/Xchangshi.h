#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class TXchangshiForm : public TCategoryForm
{
    Q_OBJECT
public:
    explicit TXchangshiForm(QWidget *owner)
        : TCategoryForm("TXchangshiForm", "XchangshiForm", owner)
    {
    }
};

extern TXchangshiForm *XchangshiForm;

} // namespace kivora
