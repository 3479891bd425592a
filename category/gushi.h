#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class TgushiForm : public TCategoryForm
{
    Q_OBJECT
public:
    explicit TgushiForm(QWidget *owner)
        : TCategoryForm("TgushiForm", "gushiForm", owner)
    {
    }
};

extern TgushiForm *gushiForm;

} // namespace kivora
