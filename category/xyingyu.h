#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class TxyingyuForm : public TCategoryForm
{
    Q_OBJECT
public:
    explicit TxyingyuForm(QWidget *owner)
        : TCategoryForm("TxyingyuForm", "xyingyuForm", owner)
    {
    }
};

extern TxyingyuForm *xyingyuForm;

} // namespace kivora
