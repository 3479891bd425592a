#pragma once

#include "update/serverversion.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace kivora {

// What the network half of the update check found.
struct VersionCheckOutcome
{
    // The status probe answered 200 or 302; when not, nothing was downloaded.
    bool reachable = false;
    // Reading the downloaded version file failed (it is absent when the download failed).
    std::exception_ptr failure;
    // Why the version file does not verify against the update key; empty when it does.
    std::string refusal;
    // What a version file that verifies announces.
    ServerVersion server;
};

// The update check's status probe and version-file download, on a thread of their own:
// a server that accepts and never answers holds them for up to twenty seconds, and must not
// hold the window that long. The outcome comes back through `deliver`, which is to run the
// call it is given on the window's thread (a queued call).
class VersionCheck
{
public:
    using Deliver = std::function<void(std::function<void()>)>;
    using Done = std::function<void(const VersionCheckOutcome &)>;

    explicit VersionCheck(Deliver deliver);
    // A check still under way goes on to its end, and its outcome is dropped.
    ~VersionCheck();
    VersionCheck(const VersionCheck &) = delete;
    VersionCheck &operator=(const VersionCheck &) = delete;

    // Probes `address`, then downloads it to `versionFileCopy` and verifies it. Starts nothing
    // and answers false while an earlier check has not been delivered.
    bool start(const std::u16string &address, const std::string &versionFileCopy, Done done);
    bool underWay() const { return m_underWay; }

private:
    struct Link;
    Deliver m_deliver;
    std::shared_ptr<Link> m_link;
    bool m_underWay = false;
};

} // namespace kivora
