#pragma once

#include <memory>
#include <string>

namespace kivora {

class IBindStatusCallback;

// The latest title chosen in any category window. Written on the user-interface thread
// by the title choice; a file transfer job copies what it needs when it is created, so a
// later choice never changes a running job.
struct CurrentTransfer
{
    std::u16string SourceFile1;                     // streaming address
    std::u16string SourceFile2;                     // download address
    std::u16string DestFile1;                       // local path
    std::shared_ptr<IBindStatusCallback> formname;  // progress sink of the choosing window
};

// The one record shared by all category windows. Starts empty and is never cleared.
extern CurrentTransfer currentTransfer;

} // namespace kivora
