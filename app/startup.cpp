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
#include <QTimer>

#include <future>

namespace kivora {

void createWindows()
{
    // The launcher draws its pictures as it shows. The category windows, made meanwhile,
    // draw theirs only when a child opens one: they are decoded once the event loop runs,
    // after the launcher was shown.
    prefetchPictures(TmainForm::startUpPictures());
    // The launcher's gauge draws its text as it first shows, and the first text drawn reads
    // the system's font list: read it meanwhile. (The font database is thread-safe; the
    // future waits at exit, should the program end first.)
    static const std::future<void> fontList = std::async(std::launch::async, [] { QFontDatabase::families(); });
    QTimer::singleShot(0, [] { prefetchPictures(TCategoryForm::startUpPictures()); });
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
