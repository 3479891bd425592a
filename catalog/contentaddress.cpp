#include "catalog/contentaddress.h"

#include "catalog/serverhosts.h"

namespace kivora {

namespace {

// Folders, hosts and fixed parts are ASCII, so each byte is one UTF-16 unit.
void appendAscii(std::u16string& out, std::string_view ascii)
{
    out.append(ascii.begin(), ascii.end());
}

} // namespace

std::u16string localPath(std::u16string_view programDir, std::string_view folder, std::u16string_view title)
{
    std::u16string path;
    path.reserve(programDir.size() + folder.size() + title.size() + 5);
    path.append(programDir);
    appendAscii(path, folder);
    path.push_back(u'/');
    path.append(title);
    path.append(u".swf");
    return path;
}

std::u16string contentAddress(std::string_view host, std::string_view folder, std::u16string_view title)
{
    std::u16string address;
    address.reserve(host.size() + folder.size() + title.size() + 14);
    if (!host.starts_with("http://") && !host.starts_with("https://")) {
        appendAscii(address, contentScheme());
        address.append(u"://");
    }
    appendAscii(address, host);
    address.push_back(u'/');
    appendAscii(address, folder);
    address.push_back(u'/');
    address.append(title);
    address.append(u".swf");
    return address;
}

std::u16string streamingAddress(std::string_view folder, std::u16string_view title)
{
    return contentAddress(streamHost(), folder, title);
}

std::u16string downloadAddress(std::string_view folder, std::u16string_view title)
{
    return contentAddress(downloadHost(), folder, title);
}

std::u16string stopPath(std::u16string_view executablePath)
{
    std::u16string path(executablePath);
    path.append(u"A123.swf");
    return path;
}

std::u16string updateAddress()
{
    std::u16string address(u"http://");
    appendAscii(address, updateHost());
    address.append(u"/erge/update.txt");
    return address;
}

} // namespace kivora
