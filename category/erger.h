#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class TergerForm : public TCategoryForm
{
    Q_OBJECT
public:
    explicit TergerForm(QWidget *owner)
        : TCategoryForm("TergerForm", "ergerForm", owner)
    {
    }
};

extern TergerForm *ergerForm;

} // namespace kivora
