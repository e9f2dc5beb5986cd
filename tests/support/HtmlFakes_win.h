// Every operation of the page-script interfaces that a script error
// reaches answering E_NOTIMPL, in declaration order, for the fakes of the
// script-error tests; IUnknown and IDispatch are the derived fakes' own.
#pragma once

#include <mshtml.h>

namespace testsupport {

#define NOT_IMPLEMENTED(name, args) \
    STDMETHODIMP name args override { return E_NOTIMPL; }

// clang-format off
class HtmlWindow2NotImpl : public IHTMLWindow2 {
public:
    NOT_IMPLEMENTED(item, (VARIANT*, VARIANT*)) NOT_IMPLEMENTED(get_length, (LONG*))
    NOT_IMPLEMENTED(get_frames, (IHTMLFramesCollection2**))
    NOT_IMPLEMENTED(put_defaultStatus, (BSTR)) NOT_IMPLEMENTED(get_defaultStatus, (BSTR*))
    NOT_IMPLEMENTED(put_status, (BSTR)) NOT_IMPLEMENTED(get_status, (BSTR*))
    NOT_IMPLEMENTED(setTimeout, (BSTR, LONG, VARIANT*, LONG*))
    NOT_IMPLEMENTED(clearTimeout, (LONG)) NOT_IMPLEMENTED(alert, (BSTR))
    NOT_IMPLEMENTED(confirm, (BSTR, VARIANT_BOOL*))
    NOT_IMPLEMENTED(prompt, (BSTR, BSTR, VARIANT*))
    NOT_IMPLEMENTED(get_Image, (IHTMLImageElementFactory**))
    NOT_IMPLEMENTED(get_location, (IHTMLLocation**))
    NOT_IMPLEMENTED(get_history, (IOmHistory**)) NOT_IMPLEMENTED(close, ())
    NOT_IMPLEMENTED(put_opener, (VARIANT)) NOT_IMPLEMENTED(get_opener, (VARIANT*))
    NOT_IMPLEMENTED(get_navigator, (IOmNavigator**)) NOT_IMPLEMENTED(put_name, (BSTR))
    NOT_IMPLEMENTED(get_name, (BSTR*)) NOT_IMPLEMENTED(get_parent, (IHTMLWindow2**))
    NOT_IMPLEMENTED(open, (BSTR, BSTR, BSTR, VARIANT_BOOL, IHTMLWindow2**))
    NOT_IMPLEMENTED(get_self, (IHTMLWindow2**)) NOT_IMPLEMENTED(get_top, (IHTMLWindow2**))
    NOT_IMPLEMENTED(get_window, (IHTMLWindow2**)) NOT_IMPLEMENTED(navigate, (BSTR))
    NOT_IMPLEMENTED(put_onfocus, (VARIANT)) NOT_IMPLEMENTED(get_onfocus, (VARIANT*))
    NOT_IMPLEMENTED(put_onblur, (VARIANT)) NOT_IMPLEMENTED(get_onblur, (VARIANT*))
    NOT_IMPLEMENTED(put_onload, (VARIANT)) NOT_IMPLEMENTED(get_onload, (VARIANT*))
    NOT_IMPLEMENTED(put_onbeforeunload, (VARIANT))
    NOT_IMPLEMENTED(get_onbeforeunload, (VARIANT*)) NOT_IMPLEMENTED(put_onunload, (VARIANT))
    NOT_IMPLEMENTED(get_onunload, (VARIANT*)) NOT_IMPLEMENTED(put_onhelp, (VARIANT))
    NOT_IMPLEMENTED(get_onhelp, (VARIANT*)) NOT_IMPLEMENTED(put_onerror, (VARIANT))
    NOT_IMPLEMENTED(get_onerror, (VARIANT*)) NOT_IMPLEMENTED(put_onresize, (VARIANT))
    NOT_IMPLEMENTED(get_onresize, (VARIANT*)) NOT_IMPLEMENTED(put_onscroll, (VARIANT))
    NOT_IMPLEMENTED(get_onscroll, (VARIANT*)) NOT_IMPLEMENTED(get_document, (IHTMLDocument2**))
    NOT_IMPLEMENTED(get_event, (IHTMLEventObj**)) NOT_IMPLEMENTED(get__newEnum, (IUnknown**))
    NOT_IMPLEMENTED(showModalDialog, (BSTR, VARIANT*, VARIANT*, VARIANT*))
    NOT_IMPLEMENTED(showHelp, (BSTR, VARIANT, BSTR))
    NOT_IMPLEMENTED(get_screen, (IHTMLScreen**))
    NOT_IMPLEMENTED(get_Option, (IHTMLOptionElementFactory**)) NOT_IMPLEMENTED(focus, ())
    NOT_IMPLEMENTED(get_closed, (VARIANT_BOOL*)) NOT_IMPLEMENTED(blur, ())
    NOT_IMPLEMENTED(scroll, (LONG, LONG))
    NOT_IMPLEMENTED(get_clientInformation, (IOmNavigator**))
    NOT_IMPLEMENTED(setInterval, (BSTR, LONG, VARIANT*, LONG*))
    NOT_IMPLEMENTED(clearInterval, (LONG)) NOT_IMPLEMENTED(put_offscreenBuffering, (VARIANT))
    NOT_IMPLEMENTED(get_offscreenBuffering, (VARIANT*))
    NOT_IMPLEMENTED(execScript, (BSTR, BSTR, VARIANT*))
    NOT_IMPLEMENTED(toString, (BSTR*)) NOT_IMPLEMENTED(scrollBy, (LONG, LONG))
    NOT_IMPLEMENTED(scrollTo, (LONG, LONG)) NOT_IMPLEMENTED(moveTo, (LONG, LONG))
    NOT_IMPLEMENTED(moveBy, (LONG, LONG)) NOT_IMPLEMENTED(resizeTo, (LONG, LONG))
    NOT_IMPLEMENTED(resizeBy, (LONG, LONG)) NOT_IMPLEMENTED(get_external, (IDispatch**))
};

class HtmlEventObjNotImpl : public IHTMLEventObj {
public:
    NOT_IMPLEMENTED(get_srcElement, (IHTMLElement**))
    NOT_IMPLEMENTED(get_altKey, (VARIANT_BOOL*)) NOT_IMPLEMENTED(get_ctrlKey, (VARIANT_BOOL*))
    NOT_IMPLEMENTED(get_shiftKey, (VARIANT_BOOL*)) NOT_IMPLEMENTED(put_returnValue, (VARIANT))
    NOT_IMPLEMENTED(get_returnValue, (VARIANT*))
    NOT_IMPLEMENTED(put_cancelBubble, (VARIANT_BOOL))
    NOT_IMPLEMENTED(get_cancelBubble, (VARIANT_BOOL*))
    NOT_IMPLEMENTED(get_fromElement, (IHTMLElement**))
    NOT_IMPLEMENTED(get_toElement, (IHTMLElement**)) NOT_IMPLEMENTED(put_keyCode, (LONG))
    NOT_IMPLEMENTED(get_keyCode, (LONG*)) NOT_IMPLEMENTED(get_button, (LONG*))
    NOT_IMPLEMENTED(get_type, (BSTR*)) NOT_IMPLEMENTED(get_qualifier, (BSTR*))
    NOT_IMPLEMENTED(get_reason, (LONG*)) NOT_IMPLEMENTED(get_x, (LONG*))
    NOT_IMPLEMENTED(get_y, (LONG*)) NOT_IMPLEMENTED(get_clientX, (LONG*))
    NOT_IMPLEMENTED(get_clientY, (LONG*)) NOT_IMPLEMENTED(get_offsetX, (LONG*))
    NOT_IMPLEMENTED(get_offsetY, (LONG*)) NOT_IMPLEMENTED(get_screenX, (LONG*))
    NOT_IMPLEMENTED(get_screenY, (LONG*)) NOT_IMPLEMENTED(get_srcFilter, (IDispatch**))
};
// clang-format on

#undef NOT_IMPLEMENTED

}  // namespace testsupport
