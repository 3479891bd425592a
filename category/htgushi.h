#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class Thtgushiform : public TCategoryForm
{
    Q_OBJECT
public:
    explicit Thtgushiform(QWidget *owner)
        : TCategoryForm("Thtgushiform", "htgushiform", owner)
    {
    }
};

extern Thtgushiform *htgushiform;

} // namespace kivora
