#include "task_scheduler/TriggerSubscription.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <optional>
#include <string>

namespace {

// A trigger as its scripting interface answers for the Subscription
// property: each step can fail, and the answer can be of any type.
class FakeTrigger : public IDispatch {
public:
    HRESULT queryAnswer = S_OK;
    HRESULT namesAnswer = S_OK;
    HRESULT invokeAnswer = S_OK;
    VARTYPE type = VT_BSTR;
    const wchar_t* text = L"<QueryList/>";
    std::wstring askedFor;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch) {
            return E_NOINTERFACE;
        }
        if (FAILED(queryAnswer)) {
            return queryAnswer;
        }
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        askedFor = count == 1 ? names[0] : L"";
        ids[0] = 7;
        return namesAnswer;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override
    {
        if (id != 7 || flags != DISPATCH_PROPERTYGET) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (FAILED(invokeAnswer)) {
            return invokeAnswer;
        }
        result->vt = type;
        if (type == VT_BSTR) {
            result->bstrVal = text == nullptr ? nullptr : SysAllocString(text);
        } else {
            result->lVal = 42;
        }
        return invokeAnswer;
    }

    ULONG references = 1;
};

// The query is taken only from a property read that worked and answered a
// string; anything else reads as nothing, and no reference is kept.
TEST(TriggerSubscription, IsTheStringThePropertyAnswers)
{
    struct Case {
        const char* name;
        void (*arrange)(FakeTrigger&);
        std::optional<std::wstring> subscription;
    };
    const Case cases[] = {
        {"a string", [](FakeTrigger&) {}, L"<QueryList/>"},
        {"an empty string", [](FakeTrigger& t) { t.text = L""; }, L""},
        {"a null string", [](FakeTrigger& t) { t.text = nullptr; }, L""},
        {"a success code other than S_OK", [](FakeTrigger& t) { t.invokeAnswer = S_FALSE; }, L"<QueryList/>"},
        {"a number", [](FakeTrigger& t) { t.type = VT_I4; }, std::nullopt},
        {"empty", [](FakeTrigger& t) { t.type = VT_EMPTY; }, std::nullopt},
        {"the read failed", [](FakeTrigger& t) { t.invokeAnswer = E_FAIL; }, std::nullopt},
        {"no such property", [](FakeTrigger& t) { t.namesAnswer = DISP_E_UNKNOWNNAME; }, std::nullopt},
        {"no scripting interface", [](FakeTrigger& t) { t.queryAnswer = E_NOINTERFACE; }, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTrigger trigger;
        c.arrange(trigger);
        EXPECT_EQ(triggerSubscription(trigger), c.subscription);
        EXPECT_EQ(trigger.references, 1u);
        if (SUCCEEDED(trigger.queryAnswer)) {
            EXPECT_EQ(trigger.askedFor, L"Subscription");
        }
    }
}

} // namespace
