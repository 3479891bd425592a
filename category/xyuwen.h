#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class TxyuwenForm : public TCategoryForm
{
    Q_OBJECT
public:
    explicit TxyuwenForm(QWidget *owner)
        : TCategoryForm("TxyuwenForm", "xyuwenForm", owner)
    {
    }
};

extern TxyuwenForm *xyuwenForm;

} // namespace kivora
