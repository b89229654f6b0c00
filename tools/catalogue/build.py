"""Builds the list of catalogue entries from the headers and the import libraries."""

import collections
import copy
import os

import basic
import coverage
from basic import Unsupported, Mapper, c_stack_bytes, ordered_typedefs
from cparse import CC_C, CC_STDCALL, Headers, HEADERS, SEPARATE_HEADERS
from exports import Exports, ExportSources, library_name, without_32_bit_witness, witnessed_by
from metadata import Metadata, load_api
import pnames

# Per-DLL entry points that every COM server exports; they belong to no one library.
ENTRY_POINTS = {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer",
                "DllUnregisterServer", "DllInstall", "DllGetVersion", "DllMain"}
# Functions that a program or a DLL supplies for the system to call, though an import
# library lists them: an SNMP extension agent's entry points, the RPC stubs' allocator.
SUPPLIED_BY_CALLER = {"SnmpExtensionInit", "SnmpExtensionInitEx", "SnmpExtensionQuery",
                      "SnmpExtensionQueryEx", "SnmpExtensionTrap", "SnmpExtensionClose",
                      "MIDL_user_allocate", "MIDL_user_free",
                      # rpcproxy.dll is an extension and filter of the web server (IIS), which
                      # calls these: no program of the user's does.
                      "GetExtensionVersion", "GetFilterVersion", "HttpExtensionProc", "HttpFilterProc"}

# DLLs whose functions only Microsoft's metadata declares, held back until their Persian
# descriptions are written, so that the catalogue stays described in full (ICU's and
# AllJoyn's, whose documentation is their own C reference, waited here until described).
AWAITING_DESCRIPTIONS = set()


def read_ordinals(path=os.path.join(os.path.dirname(os.path.abspath(__file__)), "ordinals.tsv")):
    """ordinals.tsv: {name: (library, ordinal)} of the functions exported by ordinal alone."""
    out = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            name, library, ordinal, _words = line.rstrip("\n").split("\t")
            out[name] = (library, int(ordinal))
    return out


ORDINALS = read_ordinals()


# Declarations of the metadata that do not fit the DLL it names: chakra.dll is the JavaScript
# runtime of Windows 10 (the Edge-mode JsRT), whose JsCreateRuntime has no runtimeVersion,
# JsCreateContext no debugApplication and JsStartDebugging no parameter; the metadata gives
# the older runtime's (jscript9.dll) parameters, which would be read one place off.
NOT_AS_DECLARED = {name: "the metadata's parameters are jscript9.dll's; chakra.dll's function has one fewer"
                   for name in ("JsCreateRuntime", "JsCreateContext", "JsStartDebugging")}
# netsh's helper functions: netsh.exe exports them to the helper DLLs it loads (Microsoft's
# pages give the DLL as Netsh.exe; the metadata's NETSH.dll is its import library's name).
# Lib "netsh" looks for a netsh.dll, and a program that is not such a helper has nothing
# to call them for; PrintError and PrintMessageFromModule are variadic too.
NOT_AS_DECLARED.update({name: "netsh.exe's, for the helper DLLs netsh loads: Lib \"netsh\" looks for a "
                        "netsh.dll" for name in ("MatchEnumTag", "MatchToken", "PreprocessCommand", "PrintError",
                                                 "PrintMessageFromModule", "RegisterContext", "RegisterHelper")})
# Variable argument lists the metadata drops: ICU's message and trace formatting (umsg.h,
# utrace.h) and AllJoyn's argument packing (MsgArg.h, Message.h) end in "...", and only the
# fixed parameters would be declared; a value the format names would be read from nowhere.
NOT_AS_DECLARED.update({name: "variadic in its header; the metadata drops the ...; a value the "
                        "signature or pattern names could not be passed"
                        for name in ("u_formatMessage", "u_formatMessageWithError", "u_parseMessage",
                                     "u_parseMessageWithError", "umsg_format", "umsg_parse", "utrace_format",
                                     "alljoyn_message_parseargs", "alljoyn_msgarg_array_get",
                                     "alljoyn_msgarg_array_set", "alljoyn_msgarg_array_set_offset",
                                     "alljoyn_msgarg_create_and_set", "alljoyn_msgarg_get",
                                     "alljoyn_msgarg_getdictelement", "alljoyn_msgarg_set",
                                     "alljoyn_msgarg_set_and_stabilize")})


# Functions that give back what the system handed out (the list of getaddrinfo, the block of
# GetEnvironmentStrings): a structure or text they take is the address the system gave,
# ByVal ... As Long. A Basic Type or String would hand them the caller's copy. Other Free
# functions take the caller's own variable (FreeCredentialsHandle, FreePropVariantArray).
GIVES_BACK = {"freeaddrinfo", "FreeAddrInfoW", "FreeAddrInfoEx", "FreeAddrInfoExW", "FreeEnvironmentStringsA",
              "FreeGPOListA", "FreeGPOListW", "FreePrinterNotifyInfo", "FreeEncryptionCertificateHashList",
              # wldap32's: the text, the value arrays and the controls its functions gave.
              # The key, certificate chain, manifest and policy texts AllJoyn's security
              # functions handed out.
              "alljoyn_permissionconfigurator_certificatechain_destroy",
              "alljoyn_permissionconfigurator_manifesttemplate_destroy", "alljoyn_permissionconfigurator_policy_destroy",
              "alljoyn_permissionconfigurator_publickey_destroy", "alljoyn_securityapplicationproxy_eccpublickey_destroy",
              "alljoyn_securityapplicationproxy_manifest_destroy", "alljoyn_securityapplicationproxy_manifesttemplate_destroy",
              "alljoyn_securityapplicationproxy_policy_destroy",
              "ldap_memfree", "ldap_memfreeA", "ldap_memfreeW", "ldap_value_free", "ldap_value_freeA",
              "ldap_value_freeW", "ldap_value_free_len", "ldap_controls_free", "ldap_controls_freeA",
              "ldap_controls_freeW", "ldap_control_free", "ldap_control_freeA", "ldap_control_freeW", "ber_bvfree",
              "ldap_free_controls", "ldap_free_controlsA", "ldap_free_controlsW",
              # Not a free function, but it reads the array ldap_get_values gave, by its address.
              "ldap_count_values", "ldap_count_valuesA", "ldap_count_valuesW", "ldap_count_values_len",
              # The media type MoCreateMediaType allocated; the structures WebAuthn handed out.
              "MoDeleteMediaType", "WebAuthNFreeAssertion", "WebAuthNFreeCredentialAttestation",
              # MAPI's row sets and recipient lists, the spooler's notify information, ESE's
              # buffers and the linguistic services' list.
              "FreeProws", "FreePadrlist", "RouterFreePrinterNotifyInfo", "SpoolerFreePrinterNotifyInfo",
              "JetFreeBuffer", "MappingFreeServices",
              # The directory's name results and schema map; RAS's EAP identity.
              "DsFreeNameResultA", "DsFreeNameResultW", "DsFreeSchemaGuidMapA", "DsFreeSchemaGuidMapW",
              "RasFreeEapUserIdentityA", "RasFreeEapUserIdentityW",
              # The driver package names WdsCliObtainDriverPackages gave; EapHost's errors; the
              # DHCP server's audit log settings.
              "WdsCliFreeStringArray", "EapHostPeerFreeErrorMemory", "EapHostPeerFreeEapError",
              "DhcpServerAuditlogParamsFree",
              # The signing context CryptUIWizDigitalSign gave.
              "CryptUIWizFreeDigitalSignContext",
              # The security providers and bootstrap resolvers DrtCreate* gave; the provider
              # PxeProviderEnumNext gave; the token GetToken gave; the tables, information and
              # results GetInterfaceContextTableForHostName, KeyCredentialManagerGetInformation,
              # WinHttpQueryConnectionGroup and NetGetAadJoinInformation gave.
              "DrtDeleteDerivedKeySecurityProvider", "DrtDeleteNullSecurityProvider",
              "DrtDeleteDnsBootstrapResolver", "DrtDeletePnrpBootstrapResolver", "PxeProviderFreeInfo",
              "FreeToken", "FreeInterfaceContextTable", "KeyCredentialManagerFreeInformation",
              "WinHttpFreeQueryConnectionGroupResult", "NetFreeAadJoinInformation"}
# Functions whose structure keeps the text pointer after the call (RtlInitString): Basic's
# String would be a temporary ANSI copy, freed when the call returns.
KEEPS_TEXT = {"RtlInitAnsiString", "RtlInitAnsiStringEx", "RtlInitString", "RtlInitStringEx"}


def by_address(name, params):
    """The parameters of a function that gives back or keeps what it is handed."""
    out = []
    for p in params:
        # An array the system gave (ldap_value_free's char **) is its address too, not the
        # address of the caller's variable.
        if (name in GIVES_BACK and p.kind in ("struct", "string", "pointer") and (p.btype != "Any" or p.may_be_null or p.sized)) or (
                name in KEEPS_TEXT and p.kind == "string"):
            made, named_by = p.made, p.named_by
            p = basic.BasicParam(p.name, True, "Long", 4, "address", p.ctype)
            p.made, p.named_by = made, named_by
        out.append(p)
    return out


def may_be_null(p):
    """A structure the function takes by reference and lets be NULL (the metadata's
    "Optional": EnumDisplayMonitors' clip rectangle, the GUID of SetupDiGetClassDevs, the
    context of AcceptSecurityContext's first call) is passed As Any: the caller gives the
    Type variable, or ByVal 0& for none, which a parameter As RECT would refuse. The Type
    block stays with the declaration."""
    if p.kind == "struct" and not p.byval and p.record is not None and p.btype == p.record.name:
        p.btype = "Any"
        p.may_be_null = True


def sized_apart(p):
    """A structure whose size in bytes another parameter gives (the metadata's
    "MemorySize") is a buffer that may be larger than the Type: SetupDiGetDeviceInterfaceDetail's
    detail with the device path after it, FilterGetMessage's message after its header, a
    SOCKADDR that is a sockaddr_in6. It is passed As Any: the caller gives the Type variable
    as before, or the first element of a Byte array of the size asked, or another Type of
    the family, which a parameter As SOCKADDR would refuse. The Type block stays."""
    if p.kind == "struct" and not p.byval and p.record is not None and p.btype == p.record.name:
        p.btype = "Any"
        p.sized = True


class Entry:
    """One catalogue function before its areas and description are chosen."""

    def __init__(self, name, fn, export, params, result, typedefs, alias=None, via=None):
        self.name = name            # FunctionName
        self.fn = fn                # cparse.Function of the header prototype
        self.export = export        # implib.Export
        self.library = library_name(export.dll)
        # Own copies: an alias shares the prototype but not the function name that a
        # parameter may not repeat.
        params = _unique_names([copy.copy(p) for p in params], name, [td.name for td in typedefs])
        self.params = params        # list of basic.BasicParam
        self.result = result        # Basic result type or None for Sub
        self.typedefs = typedefs    # TypeDefs the declaration carries
        self.alias = alias          # export name when it differs from name
        self.via = via              # macro name chain that leads here, if any
        self.given = []             # the metadata's name for each C parameter the header leaves unnamed, else None
        self.loose = []             # for each C parameter: a structure the metadata lets be NULL or sizes apart
        # No 32-bit export to call with a known number of argument bytes: cdecl in 32 bits,
        # which 32-bit Basic cannot call, or found in a 64-bit import library only. 64-bit
        # VBA7 can call it (x64 has one calling convention); the classic text is kept only as
        # the ground of the VBA7 form.
        self.vba7_alone = export.stack_bytes is None
        # The export is witnessed for 64 bits only (not cdecl): a 64-bit import library of
        # mingw-w64, or Microsoft's metadata alone.
        self.only_64_library = without_32_bit_witness(export)
        self.declaration = basic.declaration(name, self.library, alias, params, result, typedefs)
        self.areas = []
        self.description = ""
        self.curated = False
        self.charset = None         # "ansi", "unicode" or None
        self.pair = None            # name of the other half of an A/W pair

    @property
    def export_name(self):
        return self.export.name or self.export.plain

    @property
    def stack_bytes(self):
        return sum(p.stack for p in self.params)


class Catalogue:
    def __init__(self):
        self.headers = Headers()
        self.headers.parse(HEADERS)
        for group in SEPARATE_HEADERS:
            self.headers.parse(group)
        self.exports = Exports()
        self.metadata = Metadata()
        self.exports.metadata = self.metadata
        # Where mingw-w64 has no 32-bit import library of a name: Wine's, then the 64-bit ones.
        self.sources = ExportSources(self.exports, self.metadata)
        api = load_api()
        # More headers, and prototypes written from the metadata, for the metadata's
        # functions that the classic headers lack.
        self.coverage = coverage.Coverage(self.metadata, coverage.parse(self.headers, exports=self.sources, api=api))
        self.written = coverage.written()
        self.mapper = Mapper(self.headers)
        self.names = pnames.Names(api)
        self.headers_with_errors = self.headers.error_files
        self.left_out = collections.OrderedDict()    # reason -> list of names
        self.mapped = {}                             # C name -> Entry (under its C name)
        self.wide_forms = {}                         # W function -> W structures taken
        self.given = {}                              # C name -> the metadata's name of each parameter used
        self.loose = {}                              # C name -> per parameter: As Any for the metadata's sake
        self.named_by = {}                           # C name -> pnames.py's reason for each parameter

    def ordinal_alias(self, name, library):
        """Alias "#N" of a function its DLL exports by ordinal alone (ordinals.tsv), once
        Wine's 32-bit import library, which imports it by ordinal, agrees on N."""
        listed_library, ordinal = ORDINALS[name]
        wine = dict(self.sources.elsewhere)["wine"]
        by_ordinal = {e.ordinal for e in wine.by_name.get(name, []) if not e.name and library_name(e.dll) == library}
        if listed_library != library or by_ordinal != {ordinal}:
            raise SystemExit("ordinals.tsv: %s is ordinal %d of %s; Wine's import library of %s imports it by %s" % (
                name, ordinal, listed_library, library, sorted(by_ordinal) or "name"))
        return "#%d" % ordinal

    def leave_out(self, reason, name):
        self.left_out.setdefault(reason, []).append(name)

    def map_functions(self):
        # The classic headers' functions first: a structure's Basic name (URL_COMPONENTS_937
        # where two share a name) depends on the order structures are met.
        for name in sorted(self.headers.functions, key=lambda n: (n in self.coverage.added, n)):
            fn = self.headers.functions[name]
            if name in ENTRY_POINTS:
                self.leave_out("entry point that every COM library exports", name)
                continue
            if name in SUPPLIED_BY_CALLER:
                self.leave_out("supplied by the program for the system to call", name)
                continue
            export = self.sources.lookup(name)
            if export is None:
                self.leave_out("not exported by a 32-bit import library of mingw-w64 (nor, from the "
                               "metadata's DLL, by Wine's or a 64-bit one)", name)
                continue
            if name in NOT_AS_DECLARED:
                self.leave_out(NOT_AS_DECLARED[name], name)
                continue
            if witnessed_by(export) == "metadata" and library_name(export.dll) in AWAITING_DESCRIPTIONS:
                self.leave_out("declared by the metadata alone in %s, held back until their Persian "
                               "descriptions are written" % " and ".join(sorted(AWAITING_DESCRIPTIONS)), name)
                continue
            if not self.coverage.admits(name, library_name(export.dll)):
                self.leave_out("read for the metadata's functions, not one of them (or not in its DLL)", name)
                continue
            if library_name(export.dll).endswith(".sys"):
                self.leave_out("exported only by a kernel-mode driver", name)
                continue
            if fn.variadic:
                self.leave_out("variadic (cdecl, a variable argument list)", name)
                continue
            # A cdecl export (no @N) of a cdecl prototype is mapped as the rest: its VBA7 form
            # is made from the classic text, which the catalogue then leaves out. So is an
            # export that a 64-bit import library alone has, or Microsoft's metadata alone
            # declares: nothing says what 32-bit Windows pushes, and 64-bit Basic calls it
            # whatever its 32-bit convention.
            only_64 = without_32_bit_witness(export)
            cdecl = export.stack_bytes is None and fn.calling == CC_C
            alone = cdecl or only_64     # no argument bytes to check: the VBA7 form alone
            # mingw-w64's own runtime (libwinpthread-1's clock_gettime, winstorecompat's getenv)
            # is cdecl too: only what Microsoft's metadata declares in that DLL is Windows's.
            if cdecl and library_name(export.dll) not in self.metadata.libraries(export.name or export.plain):
                self.leave_out("cdecl, and not declared in its DLL by Microsoft's metadata", name)
                continue
            # winber.h alone does not compile (winldap.h defines BerElement and BERVAL): its
            # prototypes carry the int that libclang puts for an unknown type.
            if alone and fn.header in self.headers_with_errors:
                self.leave_out("cdecl, declared in a header that did not compile" if cdecl else
                               "in a 64-bit import library only, declared in a header that did not compile", name)
                continue
            if not alone and (export.stack_bytes is None or fn.calling != CC_STDCALL):
                self.leave_out("header and import library disagree on the calling convention", name)
                continue
            if not alone and c_stack_bytes(fn) != export.stack_bytes:
                self.leave_out("header and import library disagree on the argument bytes", name)
                continue
            try:
                params = []
                wide = (name.endswith("W") and name[:-1] + "A" in self.headers.functions) or (
                    name.endswith("_W") and name[:-2] + "_A" in self.headers.functions)
                self.mapper.twins = []
                given = self.names.given(export.name or export.plain, library_name(export.dll),
                                         [p.name for p in fn.params])
                optional = self.names.optional(export.name or export.plain, library_name(export.dll),
                                               len(fn.params))
                sized = self.names.sized(export.name or export.plain, library_name(export.dll), len(fn.params))
                for i, p in enumerate(fn.params):
                    mapped = self.mapper.param(p.type, p.name, "Arg%d" % (i + 1), wide, given[i][0])
                    for q in mapped:
                        q.named_by = given[i][1]
                    if optional[i] and len(mapped) == 1:
                        may_be_null(mapped[0])
                    elif sized[i] and len(mapped) == 1:
                        sized_apart(mapped[0])
                    params += mapped
                if self.mapper.twins:
                    self.wide_forms[name] = sorted(set(self.mapper.twins))
                self.given[name] = [g for g, _ in given]
                self.loose[name] = [o or s for o, s in zip(optional, sized)]
                self.named_by[name] = [why for _, why in given]
                params = by_address(name, params)
                result = self.mapper.result(fn.result)
            except Unsupported as e:
                reason = str(e)
                if "passed by value" in reason:
                    self.leave_out("structure passed by value", name)
                elif reason.startswith("returns the structure"):
                    self.leave_out("returns a structure", name)
                else:
                    self.leave_out("a type Basic cannot pass: " + reason.split(" of type ")[-1], name)
                continue
            typedefs = ordered_typedefs([p.record for p in params if p.record is not None and (
                p.btype == p.record.name or p.may_be_null or p.sized)])
            before = _names_before(params, name, [td.name for td in typedefs])
            params = _unique_names(params, name, [td.name for td in typedefs])
            for p, b in zip(params, before):
                p.made = b if b != p.name else None
            if not alone and sum(p.stack for p in params) != export.stack_bytes:
                self.leave_out("Basic argument bytes differ from the export's", name)
                continue
            self.mapped[name] = (fn, export, params, result, typedefs)

    def entries(self):
        """Names them the Basic way: A/W pairs under the plain name with Alias of the A
        form, W forms under their own name, leading underscores dropped."""
        names = self.mapped
        out = {}
        plain_of = {}
        for name in names:
            if name.endswith("A") and len(name) > 1:
                stem = name[:-1]
                if (stem + "W") in names or self.headers.macros.get(stem) == name:
                    if stem not in names and stem not in self.headers.functions:
                        plain_of[name] = stem
        lowered = set()
        for name, (fn, export, params, result, typedefs) in sorted(names.items()):
            export_name = export.name or export.plain
            public = plain_of.get(name, name)
            if public.startswith("_"):
                public = public.lstrip("_")
            if public.lower() in basic.RESERVED:
                # select: Basic cannot declare a function under a reserved word; the
                # export is reached through Alias.
                public += "_"
            alias = export_name if export_name != public else None
            if export_name in ORDINALS:
                alias = self.ordinal_alias(export_name, library_name(export.dll))
            e = Entry(public, fn, export, params, result, typedefs, alias=alias)
            e.given = self.given.get(name, [])
            e.loose = self.loose.get(name, [])
            if name in plain_of:
                e.charset = "ansi"
                e.pair = name[:-1] + "W" if (name[:-1] + "W") in names else None
            elif name.endswith("W") and (name[:-1] + "A") in names:
                e.charset = "unicode"
                e.pair = plain_of.get(name[:-1] + "A")
            if public.lower() in lowered:
                # Basic names ignore letter case: MIDL_user_allocate and midl_user_allocate
                # cannot both be declared.
                self.leave_out("name taken by another function (Basic ignores letter case)", name)
                continue
            out[public] = e
            lowered.add(public.lower())
        # Renames the headers make with object-like macros, on 32-bit Windows
        # (GetWindowLongPtr -> GetWindowLongA, CopyMemory -> RtlCopyMemory, ...).
        by_c_name = {}
        for e in out.values():
            by_c_name[e.fn.name] = e
        for macro in sorted(self.headers.macros):
            if macro.lower() in lowered or macro in self.headers.functions or macro.startswith("_") \
                    or macro.lower() in basic.RESERVED:
                continue
            target = macro
            seen = set()
            while target in self.headers.macros and target not in seen and target not in by_c_name:
                seen.add(target)
                target = self.headers.macros[target]
            if target == macro or target not in by_c_name:
                continue
            base = by_c_name[target]
            if base.fn.name.endswith("W") and not macro.endswith("W"):
                continue
            public = macro
            alias = base.export_name
            fn, export, params, result, typedefs = names[base.fn.name]
            e = Entry(public, fn, export, params, result, typedefs, alias=alias, via=target)
            e.given = base.given
            e.charset = base.charset
            out[public] = e
            lowered.add(public.lower())
        return out


def _unique_names(params, function_name, type_names):
    """Basic names are case-insensitive: a parameter may not repeat another's name, the
    function's or a Type's."""
    seen = {function_name.lower()} | {t.lower() for t in type_names}
    for p in params:
        base = p.name
        n = 2
        while p.name.lower() in seen:
            p.name = "%s%d" % (base, n)
            n += 1
        seen.add(p.name.lower())
    return params


def _names_before(params, function_name, type_names):
    """The names the parameters would have without the metadata's: the type's name for
    each renamed one, and the number that follows where the type gives two the same name
    (value, value2)."""
    before = [copy.copy(p) for p in params]
    for b in before:
        b.name = b.made or b.name
    return [b.name for b in _unique_names(before, function_name, type_names)]
