#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class Tchengyuform : public TCategoryForm
{
    Q_OBJECT
public:
    explicit Tchengyuform(QWidget *owner)
        : TCategoryForm("Tchengyuform", "chengyuform", owner)
    {
    }
};

extern Tchengyuform *chengyuform;

} // namespace kivora
