#include "startup.h"

#include "Umain.h"

#include "Xchangshi.h"
#include "chengyu.h"
#include "dbpingtu.h"
#include "erger.h"
#include "gushi.h"
#include "gwerger.h"
#include "htgushi.h"
#include "pinyin.h"
#include "wanyouxi.h"
#include "xyingyu.h"
#include "xyuwen.h"

namespace kivora {

void createWindows()
{
    mainForm = new TmainForm;
    wanyouxiForm = new TwanyouxiForm(mainForm);
    chengyuform = new Tchengyuform(mainForm);
    dbpingtuform = new Tdbpingtuform(mainForm);
    ergerForm = new TergerForm(mainForm);
    gushiForm = new TgushiForm(mainForm);
    gwergerForm = new TgwergerForm(mainForm);
    htgushiform = new Thtgushiform(mainForm);
    pinyinForm = new TpinyinForm(mainForm);
    XchangshiForm = new TXchangshiForm(mainForm);
    xyingyuForm = new TxyingyuForm(mainForm);
    xyuwenForm = new TxyuwenForm(mainForm);
}

void destroyWindows()
{
    // The instance variables keep their values: nothing runs after this but the exit.
    QWidget *const windows[] = {xyuwenForm, xyingyuForm, XchangshiForm, pinyinForm, htgushiform, gwergerForm,
                                gushiForm, ergerForm, dbpingtuform, chengyuform, wanyouxiForm};
    for (QWidget *window : windows)
        delete window;
    delete mainForm;
}

} // namespace kivora
