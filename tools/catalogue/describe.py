"""The factual description the tool writes for a function nobody has described by hand:
its library and header, each parameter with its C type, its Basic form and its direction,
and what it returns. Persian, in the letters Windows-1256 carries (YEH U+064A, KEHEH
U+06A9), lines joined by CR LF."""

import clang.cindex as ci

from cparse import typedef_chain

K = ci.TypeKind
CRLF = "\r\n"
PACKED = "ساختار چهاربايتي که اعضاي آن در يک Long کنار هم گذاشته مي شوند"


def _ctype(p):
    """The parameter's C type as the header spells it."""
    return p.ctype.spelling.replace("const ", "").replace(" *", "*").strip()


def _is_nonconst_pointer(p):
    c = p.ctype.get_canonical()
    if c.kind in (K.CONSTANTARRAY, K.INCOMPLETEARRAY):
        return not c.element_type.is_const_qualified()
    return c.kind == K.POINTER and not c.get_pointee().is_const_qualified()


def _direction(p):
    if p.byval and p.kind not in ("string", "wstring"):
        return "ورودي"
    if p.kind in ("string", "wstring", "buffer", "struct", "numberref", "pointer", "handleref", "interfaceref"):
        return "ورودي و خروجي" if _is_nonconst_pointer(p) else "ورودي"
    return "ورودي"


def _meaning(p):
    k = p.kind
    if k == "handle":
        return "دستگيره (handle)"
    if k == "callback":
        return "نشاني يک تابع بازگشتي (callback) که با AddressOf داده مي شود"
    if k == "interface":
        return "اشاره گر به يک واسط COM (مقدار ObjPtr)"
    if k == "pidl":
        return "نشاني يک فهرست شناسه (PIDL) که تابع ديگري از پوسته داده است"
    if k == "reserved":
        return "رزرو شده؛ صفر بدهيد"
    if k == "string":
        if _is_nonconst_pointer(p):
            return "رشته ANSI؛ اگر تابع در آن مي نويسد، پيش از فراخواني آن را با String$ به اندازه کافي بزرگ کنيد"
        return "رشته ANSI"
    if k == "wstring":
        if _is_nonconst_pointer(p):
            return "اشاره گر به رشته يونيکد (StrPtr)؛ اگر تابع در آن مي نويسد، رشته را از پيش به اندازه کافي بزرگ کنيد"
        return "اشاره گر به رشته يونيکد (StrPtr)"
    if k == "struct":
        if p.btype == "Any":
            return "اشاره گر به ساختار؛ متغير ساختار را بدهيد يا براي NULL مقدار ByVal 0&"
        return "ساختار %s که با ارجاع (ByRef) فرستاده مي شود" % p.btype
    if k == "buffer":
        return "اشاره گر به داده يا بافري با هر نوع (As Any)؛ براي NULL مقدار ByVal 0& را بدهيد"
    if k == "numberref":
        return "اشاره گر به متغيري از نوع %s" % p.btype
    if k == "handleref":
        return "اشاره گر به دستگيره؛ تابع دستگيره را در متغير %s مي نويسد" % p.btype
    if k == "interfaceref":
        return "اشاره گر به اشاره گر واسط COM؛ تابع نشاني واسط را در متغير Long مي نويسد"
    if k == "pointer":
        return "اشاره گر به اشاره گر؛ تابع نشاني يا دستگيره را در متغير Long مي نويسد يا از آن مي خواند"
    if k == "bool":
        return "مقدار منطقي: صفر يعني نادرست و غيرصفر يعني درست"
    if k == "int64":
        return "عدد 64 بيتي که در Basic با Currency فرستاده مي شود (مقدار Currency ده هزار برابر کوچکتر ديده مي شود)"
    if k == "packed":
        return PACKED
    if k == "split":
        return "عضو %s از ساختاري که با مقدار فرستاده مي شود" % p.part
    if k == "variant":
        return "مقدار Variant که با مقدار فرستاده مي شود"
    if k == "enum":
        return "يکي از مقادير يک شمارش (enum)"
    if p.btype == "Double" or p.btype == "Single":
        return "عدد اعشاري"
    return "عدد صحيح"


def _result(entry):
    fn = entry.fn
    if entry.result is None:
        return "اين تابع مقداري برنمي گرداند و در Basic به صورت Sub اعلام شده است."
    chain = typedef_chain(fn.result)
    ctype = fn.result.spelling
    head = "مقدار برگشتي از نوع %s است (در Basic: %s)" % (ctype, entry.result)
    if "HRESULT" in chain:
        return head + "؛ صفر (S_OK) يعني موفقيت و مقدار منفي کد خطاست."
    if "NTSTATUS" in chain:
        return head + "؛ صفر (STATUS_SUCCESS) يعني موفقيت و مقدار منفي کد خطاست."
    if "LSTATUS" in chain or (fn.header == "winreg.h" and "LONG" in chain):
        return head + "؛ صفر (ERROR_SUCCESS) يعني موفقيت و هر مقدار ديگر کد خطاي Win32 است."
    if any(n in ("BOOL", "WINBOOL", "BOOLEAN") for n in chain):
        return head + "؛ غيرصفر يعني درست يا موفق و صفر يعني نادرست يا ناموفق. در صورت شکست، Err.LastDllError علت را مي گويد."
    canonical = fn.result.get_canonical()
    if canonical.kind == K.RECORD:
        return head + "، " + PACKED + "."
    if canonical.kind == K.POINTER:
        if any(n.startswith("H") and n.isupper() for n in chain) or "HANDLE" in chain:
            return head + "، يک دستگيره (handle)."
        return head + "، يک اشاره گر (نشاني در حافظه)."
    return head + "."


def describe(entry, header_note=True):
    """Generated description of an entry (see build.Entry)."""
    fn = entry.fn
    lines = []
    lines.append("%s تابعي از کتابخانه %s است که در فايل سرآيند %s اعلام شده است." % (
        entry.name, entry.library, fn.header))
    if entry.alias and entry.charset == "ansi":
        w = entry.pair or entry.export_name[:-1] + "W"
        lines.append("اين اعلان نسخه ANSI تابع (%s) را صدا مي زند و رشته ها را ANSI مي فرستد؛ نسخه يونيکد آن %s است." % (
            entry.export_name, w))
    elif entry.charset == "unicode":
        lines.append("اين نسخه يونيکد تابع است: رشته ها را با StrPtr بفرستيد و طول بافرها را به نويسه (هر نويسه دو بايت) حساب کنيد.")
    elif entry.alias:
        lines.append("اين اعلان تابع %s را با نام %s صدا مي زند." % (entry.export_name, entry.name))
    if entry.params:
        lines.append("پارامترها:")
        for p in entry.params:
            lines.append("%s (%s، %s): %s." % (p.name, _ctype(p), _direction(p), _meaning(p)))
    else:
        lines.append("اين تابع پارامتري ندارد.")
    lines.append(_result(entry))
    return CRLF.join(lines)
