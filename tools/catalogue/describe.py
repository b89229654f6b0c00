"""Descriptions: the Persian typography every description gets, the interim text the
tool writes for a function nobody has described yet (its parameters by name with what
their types mean, and what its result means), and the checks that keep descriptions
free of boilerplate. Persian in the letters Windows-1256 carries (YEH U+064A, KEHEH
U+06A9, the zero-width non-joiner U+200C), lines joined by CR LF."""

import re

import clang.cindex as ci

from cparse import typedef_chain

K = ci.TypeKind
CRLF = "\r\n"
ZWNJ = "\u200c"

# A written description of this many lines or more is a full one: it names every
# parameter of its declaration. Shorter ones (for rare functions) say what the function
# does, its key parameters and its result.
FULL_LINES = 3

# A sentence may appear in at most this many descriptions, unless phrases.tsv lists it.
MAX_REPEATS = 50

# ---------------------------------------------------------------------------------------
# Typography

# Letters that never join the next one: a suffix after them is written on without ZWNJ.
NON_JOINING = set("اآأإدذرزژوؤةء")
PERSIAN = "\u0621-\u064a\u067e\u0686\u0698\u06a9\u06af\u06c1\u06be"
_PREFIX_MI = re.compile(r"(?<![%s])((?:بر|در|فرا|باز)?ن?مي) (?=[%s])" % (PERSIAN, PERSIAN))
_SUFFIX = re.compile(r"(?<=[%s]) (ها|هاي|هايي|هايش|هاست|تر|ترين|اي)(?![%s])" % (PERSIAN, PERSIAN))
_COMPOUNDS = [("اشاره گر", "اشاره‌گر"), ("پيش فرض", "پيش‌فرض"), ("بيت مپ", "بيت‌مپ"),
              ("کليپ بورد", "کليپ‌بورد"), ("مکان نما", "مکان‌نما"), ("قلم مو", "قلم‌مو"),
              ("اشکال زدايي", "اشکال‌زدايي"), ("ويژگي ها", "ويژگي‌ها"),
              ("جابه جا", "جابه‌جا")]


def _join_suffix(m):
    before = m.string[m.start() - 1]
    suffix = m.group(1)
    if suffix == "اي" and before != "ه":
        return m.group(0)      # "اي" as a suffix only after a final HEH (محاوره‌اي)
    return suffix if before in NON_JOINING else ZWNJ + suffix


def typography(text):
    """Writes the verbal prefix مي and the suffixes ها، تر، اي on with ZWNJ where Persian
    joins them (and without it after a letter that does not join): "مي نويسد" becomes
    "مي‌نويسد", "پنجره ها" "پنجره‌ها", "مقدار ها" "مقدارها"."""
    for plain, joined in _COMPOUNDS:
        text = text.replace(plain, joined)
    text = _PREFIX_MI.sub(lambda m: m.group(1) + ZWNJ, text)
    return _SUFFIX.sub(_join_suffix, text)


def typography_fault(text):
    """The first place where the typography above was not applied, or None."""
    for pattern in (_PREFIX_MI, _SUFFIX):
        for m in pattern.finditer(text):
            if pattern is _SUFFIX and m.group(1) == "اي" and text[m.start() - 1] != "ه":
                continue
            return text[max(0, m.start() - 12):m.end() + 12]
    for plain, _ in _COMPOUNDS:
        if plain in text:
            return plain
    return None

# ---------------------------------------------------------------------------------------
# Sentences and parameters named


def sentences(text):
    """The sentences of a description: its lines cut after ".", "؟" or "!" that ends a
    sentence, with spaces normalised."""
    out = []
    for line in text.split(CRLF):
        for s in re.split(r"(?<=[.!؟])\s+", line):
            s = " ".join(s.split())
            if s:
                out.append(s)
    return out


def names_word(text, word):
    """Whether the text has the identifier as a whole word."""
    return re.search(r"(?<![A-Za-z0-9_$])%s(?![A-Za-z0-9_])" % re.escape(word), text) is not None


# Identifiers that look like parameter names: a Hungarian prefix and a capital.
_PARAM_LIKE = re.compile(r"(?<![A-Za-z0-9_$&.])((?:lp|lpsz|psz|pwsz|sz|dw|cb|cch|cx|cy|h|n|u|p|pp|b|f|w|i|l|fu|ul|ui|dwc)[A-Z][A-Za-z0-9_]*)(?![A-Za-z0-9_(])")
_LABEL = re.compile(r"(?:^|[\n،؛]\s*)([A-Za-z_][A-Za-z0-9_]*)\s*:")


def unknown_parameter_names(text, declaration, known_elsewhere):
    """Names the description uses as parameters that the declaration (its parameters, its
    Type blocks) does not have: labels ("hWnd: ...") that are not its parameters, and
    Hungarian-looking identifiers that are neither in it nor in known_elsewhere (function
    names, structure members)."""
    words = set(re.findall(r"[A-Za-z_][A-Za-z0-9_]*", declaration))
    line = declaration.split(CRLF)[-1]
    params = set(re.findall(r"([A-Za-z_][A-Za-z0-9_]*) As ", line[line.index("("):]))
    bad = []
    for m in _LABEL.finditer(text):
        if m.group(1) not in params and m.group(1) not in bad:
            bad.append(m.group(1))
    for m in _PARAM_LIKE.finditer(text):
        w = m.group(1)
        if w not in words and w not in known_elsewhere and w not in bad:
            bad.append(w)
    return bad


# "Param1 تا Param4": a range of numbered parameters names each of them.
_RANGE = re.compile(r"\b([A-Za-z_]+?)(\d+) تا \1(\d+)\b")


def unnamed_parameters(text, params):
    ranged = set()
    for m in _RANGE.finditer(text):
        ranged.update("%s%d" % (m.group(1), i) for i in range(int(m.group(2)), int(m.group(3)) + 1))
    return [p for p in params if p not in ranged and not names_word(text, p)]

# ---------------------------------------------------------------------------------------
# The interim text for functions not yet described


# What a handle type holds, by its typedef name.
HANDLE_MEANING = {
    "HWND": "دستگيره پنجره", "HDC": "دستگيره زمينه دستگاه (DC)", "HKEY": "دستگيره کليد رجيستري",
    "HMENU": "دستگيره منو", "HBITMAP": "دستگيره بيت‌مپ", "HICON": "دستگيره آيکن",
    "HCURSOR": "دستگيره مکان‌نما", "HFONT": "دستگيره فونت", "HBRUSH": "دستگيره قلم‌مو",
    "HPEN": "دستگيره قلم", "HRGN": "دستگيره ناحيه", "HPALETTE": "دستگيره پالت رنگ",
    "HINSTANCE": "دستگيره ماژول", "HMODULE": "دستگيره ماژول",
    "HGLOBAL": "دستگيره حافظه سراسري", "HLOCAL": "دستگيره حافظه محلي",
    "HGDIOBJ": "دستگيره شيء GDI", "HMONITOR": "دستگيره نمايشگر", "HHOOK": "دستگيره قلاب",
    "HACCEL": "دستگيره جدول کليدهاي ميان‌بر", "HMETAFILE": "دستگيره متافايل",
    "HENHMETAFILE": "دستگيره متافايل پيشرفته", "HDROP": "دستگيره فايل‌هاي رهاشده (HDROP)",
    "HIMAGELIST": "دستگيره فهرست تصوير", "SC_HANDLE": "دستگيره مدير سرويس‌ها يا يک سرويس",
    "SERVICE_STATUS_HANDLE": "دستگيره وضعيت سرويس", "HINTERNET": "دستگيره اينترنت (WinINet)",
    "HRSRC": "دستگيره منبع", "HKL": "دستگيره چيدمان صفحه‌کليد", "HDESK": "دستگيره ميزکار",
    "HWINSTA": "دستگيره ايستگاه پنجره", "HWAVEOUT": "دستگيره دستگاه پخش صدا",
    "HWAVEIN": "دستگيره دستگاه ضبط صدا", "HMIDIOUT": "دستگيره دستگاه خروجي MIDI",
    "HMIDIIN": "دستگيره دستگاه ورودي MIDI", "HMIXER": "دستگيره ميکسر صدا",
    "HPRINTER": "دستگيره چاپگر", "HTHEME": "دستگيره پوسته ظاهري (theme)",
    "HCRYPTPROV": "دستگيره فراهم‌کننده رمزنگاري", "HCRYPTKEY": "دستگيره کليد رمزنگاري",
    "HCRYPTHASH": "دستگيره شيء درهم‌سازي", "HCERTSTORE": "دستگيره انبار گواهي",
    "PSID": "اشاره‌گر شناسه امنيتي (SID)", "PSECURITY_DESCRIPTOR": "اشاره‌گر توصيفگر امنيتي",
    "PACL": "اشاره‌گر فهرست کنترل دسترسي (ACL)", "HDEVINFO": "دستگيره مجموعه اطلاعات دستگاه‌ها",
    "HTREEITEM": "دستگيره عضو نماي درختي", "HMMIO": "دستگيره فايل چندرسانه‌اي (MMIO)",
}


def _typedefs(t):
    return typedef_chain(t)


def _handle_meaning(ctype):
    for n in _typedefs(ctype):
        if n in HANDLE_MEANING:
            return HANDLE_MEANING[n]
    return None


def _number_meaning(p):
    chain = _typedefs(p.ctype)
    if "COLORREF" in chain:
        return "رنگ RGB (COLORREF)"
    if "SOCKET" in chain:
        return "سوکت"
    if "HFILE" in chain:
        return "دستگيره فايل (HFILE)"
    if p.btype in ("Double", "Single"):
        return "عدد اعشاري"
    c = p.ctype.get_canonical()
    name = chain[0] if chain else c.spelling
    if c.kind in (K.UINT, K.ULONG, K.USHORT, K.UCHAR, K.CHAR_U):
        return "عدد بي‌علامت (%s)" % name
    return "عدد (%s)" % name


def _is_nonconst_pointer(p):
    c = p.ctype.get_canonical()
    if c.kind in (K.CONSTANTARRAY, K.INCOMPLETEARRAY):
        return not c.element_type.is_const_qualified()
    return c.kind == K.POINTER and not c.get_pointee().is_const_qualified()


def _meaning(p):
    k = p.kind
    if k == "handle":
        return _handle_meaning(p.ctype) or "دستگيره (%s)" % (_typedefs(p.ctype) or ["HANDLE"])[0]
    if k == "callback":
        return "نشاني تابع بازگشتي که با AddressOf داده مي‌شود"
    if k == "interface":
        return "اشاره‌گر واسط COM (ObjPtr)"
    if k == "pidl":
        return "فهرست شناسه پوسته (PIDL) که تابع ديگري از پوسته داده است"
    if k == "reserved":
        return "رزرو؛ صفر بدهيد"
    if k == "string":
        if _is_nonconst_pointer(p):
            return "رشته ANSI؛ اگر تابع در آن مي‌نويسد، آن را پيشاپيش با String$ به اندازه کافي بسازيد"
        return "رشته ANSI"
    if k == "wstring":
        if _is_nonconst_pointer(p):
            return "رشته يونيکد با StrPtr؛ اگر تابع در آن مي‌نويسد، رشته را پيشاپيش به اندازه کافي بسازيد"
        return "رشته يونيکد با StrPtr"
    if k == "struct":
        if p.btype == "Any":
            names = [n for n in _typedefs(p.ctype) if not n.startswith(("LP", "P"))]
            what = "ساختار %s" % names[0] if names else "ساختار"
            return what + " با As Any (براي NULL مقدار ByVal 0&)"
        return "ساختار %s با ارجاع" % p.btype
    if k == "buffer":
        return "بافر يا داده با As Any (براي NULL مقدار ByVal 0&)"
    if k == "numberref":
        return "متغير %s با ارجاع" % p.btype
    if k == "handleref":
        inner = _handle_meaning(p.ctype.get_pointee()) if p.ctype.get_canonical().kind == K.POINTER else None
        return "متغير %s براي %s، با ارجاع" % (p.btype, inner or "دستگيره")
    if k == "interfaceref":
        return "متغير Long براي اشاره‌گر واسط COM، با ارجاع"
    if k == "pointer":
        return "متغير Long براي يک نشاني، با ارجاع"
    if k == "bool":
        return "مقدار منطقي (صفر نادرست، غيرصفر درست)"
    if k == "int64":
        return "عدد 64 بيتي در Currency (مقدار Currency ده‌هزار بار کوچک‌تر ديده مي‌شود)"
    if k == "packed":
        chain = _typedefs(p.ctype)
        return "ساختار چهاربايتي %s در يک Long" % (chain[0] if chain else "")
    if k == "split":
        chain = _typedefs(p.ctype)
        return "عضو %s از ساختار %s که با مقدار فرستاده مي‌شود" % (p.part, chain[0] if chain else "")
    if k == "variant":
        return "مقدار Variant"
    if k == "enum":
        chain = _typedefs(p.ctype)
        return "يکي از مقادير %s" % (chain[0] if chain else "يک شمارش")
    return _number_meaning(p)


def _result(entry):
    fn = entry.fn
    if entry.result is None:
        return "مقداري برنمي‌گرداند (Sub)."
    chain = typedef_chain(fn.result)
    if "HRESULT" in chain:
        return "نتيجه: صفر (S_OK) يعني موفقيت و مقدار منفي کد خطاست."
    if "NTSTATUS" in chain:
        return "نتيجه: صفر (STATUS_SUCCESS) يعني موفقيت و مقدار منفي کد خطاست."
    if "LSTATUS" in chain or (fn.header == "winreg.h" and "LONG" in chain):
        return "نتيجه: صفر (ERROR_SUCCESS) يعني موفقيت و هر مقدار ديگر کد خطاي Win32 است."
    if any(n in ("BOOL", "WINBOOL", "BOOLEAN") for n in chain):
        return "نتيجه: غيرصفر يعني درست يا موفق و صفر يعني نادرست يا ناموفق."
    if fn.result.get_canonical().kind == K.RECORD:
        # A structure of four bytes comes back in EAX: Basic reads it as a Long.
        return "نتيجه: ساختار چهاربايتي %s در يک Long." % (chain[0] if chain else "")
    meaning = _handle_meaning(fn.result)
    if meaning:
        return "نتيجه: %s." % meaning
    return None


def describe(entry):
    """The interim description of an entry (see build.Entry) that nobody has described:
    its parameters by name with what their types mean for a Basic caller, and its result
    where the type says what it means. At most two lines, so it never counts as full."""
    first = []
    # The parameters' meanings say which strings go by StrPtr: the W form needs no note.
    if entry.charset == "unicode" and entry.pair:
        first.append("نسخه ANSI آن %s است." % entry.pair)
    elif entry.charset == "ansi" and entry.pair:
        first.append("نسخه يونيکد آن %s است." % entry.pair)
    if entry.params:
        first.append("پارامترها: %s." % "؛ ".join("%s: %s" % (p.name, _meaning(p)) for p in entry.params))
    else:
        first.append("بدون پارامتر.")
    lines = [" ".join(first)]
    result = _result(entry)
    if result:
        lines.append(result)
    return typography(CRLF.join(lines))
