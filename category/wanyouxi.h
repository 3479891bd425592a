#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class TwanyouxiForm : public TCategoryForm
{
    Q_OBJECT
public:
    explicit TwanyouxiForm(QWidget *owner)
        : TCategoryForm("TwanyouxiForm", "wanyouxiForm", owner)
    {
    }
};

extern TwanyouxiForm *wanyouxiForm;

} // namespace kivora
