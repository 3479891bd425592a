#include "app/startup.h"

#include "app/Umain.h"
#include "platform/ui/picturefile.h"
#include "category/TCategoryForm.h"

#include "category/Xchangshi.h"
#include "category/chengyu.h"
#include "category/dbpingtu.h"
#include "category/erger.h"
#include "category/gushi.h"
#include "category/gwerger.h"
#include "category/htgushi.h"
#include "category/pinyin.h"
#include "category/wanyouxi.h"
#include "category/xyingyu.h"
#include "category/xyuwen.h"

#include <QFontDatabase>

#include <future>

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

void prepareFirstPaint()
{
    // Threads started while the windows are made slow their making down more than they
    // save. Once the launcher is mapped, the user-interface thread waits for its first paint,
    // which needs the launcher's pictures and, for the gauge's "0%", the system's font list:
    // both are read meanwhile, on a thread each. (The font database is thread-safe; the
    // future waits at exit, should the program end first.)
    prefetchPictures(TmainForm::startUpPictures() + TCategoryForm::startUpPictures());
    static const std::future<void> fontList = std::async(std::launch::async, [] { QFontDatabase::families(); });
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
