#pragma once

#include "category/TCategoryForm.h"

namespace kivora {

class Tdbpingtuform : public TCategoryForm
{
    Q_OBJECT
public:
    explicit Tdbpingtuform(QWidget *owner)
        : TCategoryForm("Tdbpingtuform", "dbpingtuform", owner)
    {
    }
};

extern Tdbpingtuform *dbpingtuform;

} // namespace kivora
