#pragma once

#include <cstdint>

namespace kivora {

using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

// Status code of the first report of every transfer.
constexpr std::uint32_t BINDSTATUS_FINDINGRESOURCE = 1;

// Progress sink of the URL-to-file service. The service calls it on the thread that
// called the service, during the call, and ignores every answer.
class IBindStatusCallback
{
public:
    virtual HRESULT OnStartBinding(std::uint32_t dwReserved, void *pib) = 0;
    virtual HRESULT GetPriority(std::int32_t *nPriority) = 0;
    virtual HRESULT OnLowResource(std::uint32_t reserved) = 0;
    virtual HRESULT OnProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax,
                               std::uint32_t ulStatusCode, const char16_t *szStatusText) = 0;
    virtual HRESULT OnStopBinding(HRESULT hresult, const char16_t *szError) = 0;
    virtual HRESULT GetBindInfo(std::uint32_t *grfBINDF, void *bindinfo) = 0;
    virtual HRESULT OnDataAvailable(std::uint32_t grfBSCF, std::uint32_t dwSize, void *formatetc, void *stgmed) = 0;
    virtual HRESULT OnObjectAvailable(const void *iid, void *punk) = 0;

protected:
    ~IBindStatusCallback() = default;
};

// The default answers: every operation does nothing and answers E_NOTIMPL. A sink
// overrides only what it acts on.
class BindStatusCallback : public IBindStatusCallback
{
public:
    HRESULT OnStartBinding(std::uint32_t, void *) override { return E_NOTIMPL; }
    HRESULT GetPriority(std::int32_t *) override { return E_NOTIMPL; }
    HRESULT OnLowResource(std::uint32_t) override { return E_NOTIMPL; }
    HRESULT OnProgress(std::uint32_t, std::uint32_t, std::uint32_t, const char16_t *) override { return E_NOTIMPL; }
    HRESULT OnStopBinding(HRESULT, const char16_t *) override { return E_NOTIMPL; }
    HRESULT GetBindInfo(std::uint32_t *, void *) override { return E_NOTIMPL; }
    HRESULT OnDataAvailable(std::uint32_t, std::uint32_t, void *, void *) override { return E_NOTIMPL; }
    HRESULT OnObjectAvailable(const void *, void *) override { return E_NOTIMPL; }

protected:
    ~BindStatusCallback() = default;
};

} // namespace kivora
