#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class TgwergerForm : public TCategoryForm
{
    Q_OBJECT
public:
    explicit TgwergerForm(QWidget *owner)
        : TCategoryForm("TgwergerForm", "gwergerForm", owner)
    {
    }
};

extern TgwergerForm *gwergerForm;

} // namespace kivora
