#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class TpinyinForm : public TCategoryForm
{
    Q_OBJECT
public:
    explicit TpinyinForm(QWidget *owner)
        : TCategoryForm("TpinyinForm", "pinyinForm", owner)
    {
    }
};

extern TpinyinForm *pinyinForm;

} // namespace kivora
