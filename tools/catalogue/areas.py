"""Areas of work: the groups of the catalogue tree's work branch, chosen from each
function's name (its family: Reg..., ...Window..., Crypt...) and, failing that, from its
header. One to three areas a function, joined by the Arabic comma."""

import re

WINDOWS = "پنجره ها"
FILES = "فايل و پوشه"
GRAPHICS = "گرافيک"
SYSTEM = "سيستم"
PROCESSES = "پردازش و نخ"
STRINGS = "رشته و متن"
INPUT = "صفحه کليد و ماوس"
TIME = "زمان"
SHELL = "پوسته ويندوز"
SOUND = "صدا و چندرسانه اي"
REGISTRY = "رجيستري"
MEMORY = "حافظه"
MENUS = "منو"
SECURITY = "امنيت"
MESSAGES = "پيام ها"
ERRORS = "خطا و اشکال زدايي"
NETWORK = "شبکه"
PRINTING = "چاپ"
DISKS = "ديسک و درايو"
FONTS = "فونت"
IMAGES = "تصوير و بيت مپ"
ICONS = "آيکن و مکان نما"
DIALOGS = "کادرهاي محاوره اي"
CONTROLS = "کنترل هاي عمومي"
CLIPBOARD = "کليپ بورد"
SYNC = "همگام سازي"
MODULES = "کتابخانه و ماژول"
RESOURCES = "منابع برنامه"
SERVICES = "سرويس ها"
COM = "COM و OLE"
CONVERSION = "تبديل داده ها"
INTERNET = "اينترنت"
CRYPTO = "رمزنگاري"
USERS = "کاربران و گروه ها"
DEVICES = "دستگاه ها و سخت افزار"
CONSOLE = "کنسول"
POWER = "مديريت انرژي"
DATABASE = "پايگاه داده"
LOCALE = "زبان و منطقه"
THREE_D = "گرافيک سه بعدي"

ALL = [WINDOWS, FILES, GRAPHICS, SYSTEM, PROCESSES, STRINGS, INPUT, TIME, SHELL, SOUND,
       REGISTRY, MEMORY, MENUS, SECURITY, MESSAGES, ERRORS, NETWORK, PRINTING, DISKS, FONTS,
       IMAGES, ICONS, DIALOGS, CONTROLS, CLIPBOARD, SYNC, MODULES, RESOURCES, SERVICES, COM,
       CONVERSION, INTERNET, CRYPTO, USERS, DEVICES, CONSOLE, POWER, DATABASE, LOCALE, THREE_D]

USER = ("winuser.h",)
WINDOW_HEADERS = ("winuser.h", "dwmapi.h", "oleacc.h", "shellscalingapi.h", "commctrl.h")
CORE = ("winbase.h", "fileapi.h", "processthreadsapi.h", "sysinfoapi.h", "winnt.h",
        "memoryapi.h", "synchapi.h", "libloaderapi.h", "handleapi.h", "errhandlingapi.h",
        "processenv.h", "utilapiset.h", "ioapiset.h", "winver.h", "namedpipeapi.h")

# (headers the rule applies to, or None for all; pattern on the name without its A/W
# ending; areas). Every matching rule adds its areas, in this order, up to three.
RULES = [
    (None, r"^(Reg[A-Z]|SHReg|SHDeleteKey|SHDeleteValue|SHDeleteEmptyKey|SHQueryValue|SHEnumKey|SHEnumValue|SHSetValue|SHGetValue|SHCopyKey|SHOpenRegStream|SHQueryInfoKey)", [REGISTRY]),
    (None, r"Profile(String|Section|Int|Struct|SectionNames)", [FILES, STRINGS]),
    (None, r"^(MessageBox|SoftModalMessageBox)", [DIALOGS, WINDOWS]),
    (None, r"^(MessageBeep|Beep|PlaySound|sndPlaySound)$", [SOUND]),
    (None, r"^(waveOut|waveIn|midi|mixer|aux|mci|acm|mmio|ICM?[A-Z]|AVI|DrawDib|capCreate|capGet|VideoForWindows|MCIWnd|DirectSound|DSound)", [SOUND]),
    (None, r"^joy", [INPUT, DEVICES]),
    # dciman32: direct access to the display's memory, and the clip lists of the windows over it.
    (None, r"^(DCI[A-Z]|WinWatch|GetDCRegionData$|GetWindowRegionData$)", [GRAPHICS]),
    (None, r"^mmio", [FILES]),
    # mrmsupport's resource indexer (PRI files of packaged applications), which the metadata
    # files with the windows and messages.
    (None, r"^Mrm[A-Z]|^(Create|Destroy)ResourceIndexer$|^IndexFilePath$|^DestroyIndexedResults$", [RESOURCES]),
    (None, r"^(time[A-Z]|GetTickCount|QueryPerformance|Sleep|SleepEx)", [TIME]),
    (None, r"Time(?!out)|Date|Clock|Tick|Calendar|Timer", [TIME]),
    (None, r"Clipboard", [CLIPBOARD]),
    # MAPI's messages kept in structured storage, and TNEF, the encoding of a message's
    # attachments: mail, as the rest of mapi32 (the metadata files them under IMAPI and TAPI).
    (None, r"IMsgOnIStg|IMsgSession$|^MapStorageSCode$|Tnef", [INTERNET]),
    (None, r"Console", [CONSOLE]),
    (None, r"^(Get|Set|Create|Destroy|Load|Draw|Insert|Append|Modify|Remove|Delete|Enable|Check|Hilite|Track|End|Is|Copy)?\w*Menu", [MENUS]),
    (None, r"Dialog|^(EndDialog|DlgDir|GetDlg|SetDlg|SendDlg|CheckDlgButton|IsDlgButtonChecked|CheckRadioButton|GetNextDlg|MapDialogRect|GetOpenFileName|GetSaveFileName|ChooseColor|ChooseFont|PrintDlg|PageSetupDlg|FindText|ReplaceText|SHBrowseForFolder|CommDlgExtendedError|GetFileTitle|PickIconDlg|RestartDialog|SHFormatDrive|OleUI)", [DIALOGS]),
    (None, r"^(Crypt|CertA|Cert[A-Z]|PFX|BCrypt|NCrypt|Hash|CryptCAT|WinVerifyTrust|WTHelper|SignerSign|CryptSIP|CryptUI)", [CRYPTO]),
    (None, r"Token|Privilege|Sid(?!e)|Acl|Ace$|Ace[A-Z]|SecurityDescriptor|SecurityInfo|^Impersonat|^RevertToSelf|^LogonUser|^AccessCheck|^Lookup(Account|Privilege)|Credential|^Cred[A-Z]|Audit|^Lsa|^Safer|^Authz|^(Get|Set|Build)\w*(Trustee|ExplicitEntries)|SecurityContext|^(Acquire|Free|Query)CredentialsHandle|^(Initialize|Accept|Delete)SecurityContext|^(Encrypt|Decrypt|Make|Verify)(Message|Signature)|^(Encrypt|Decrypt)File|^FileEncryption|^(Add|Remove|Query)Users(To|From|On)EncryptedFile|^Duplicate(Encryption|Token)|^Check(Token|Elevation)|^Equal(Prefix)?Sid|^ObjectOpenAuditAlarm|^SetUserObjectSecurity|^GetUserObjectSecurity|Sddl", [SECURITY]),
    (None, r"Service|^OpenSCManager|^(Lock|Unlock)ServiceDatabase|^StartServiceCtrlDispatcher|^NetService", [SERVICES]),
    (None, r"EventLog|^ReportEvent|^(Register|Deregister)EventSource|^ClearEventLog|^Evt[A-Z]|^(Start|Stop|Control|Query|Flush|Enable|Update|Open|Close|Process)Trace|^Trace[A-Z]|^Event(Register|Unregister|Write|Enabled|ProviderEnabled|ActivityId|SetInformation|AccessControl|AccessQuery|AccessRemove)|^Tdh|^Pdh|PerformanceData|^Perf[A-Z]", [ERRORS]),
    (None, r"^(Get|Set)LastError|Error|Exception|^Debug|^OutputDebugString|^IsDebuggerPresent|^CheckRemoteDebuggerPresent|^FatalAppExit|^FatalExit|^FormatMessage|^Sym[A-Z]|^StackWalk|^MiniDump|^ImageNtHeader|^ImageDirectoryEntryToData|^UnDecorateSymbolName|^EnumerateLoadedModules|^Wer[A-Z]|^ContinueDebugEvent|^WaitForDebugEvent|^Rtl(Unwind|CaptureContext|CaptureStackBackTrace|RaiseException)", [ERRORS]),
    (None, r"^(Get|Set|Create|Close|Open|Suspend|Resume|Exit|Terminate|Switch|Convert|Delete|Query|Is)\w*(Process|Thread|Fiber|Job)|^CreateProcess|Process(Id|Times|Affinity|Priority|Heaps|Memory|Modules|Mitigation|Information|WorkingSet|Group|DEP|ShutdownParameters|Version|ImageFileName)|^Thread|^Tls[A-Z]|^Fls[A-Z]|^WinExec|^GetCommandLine|Environment|^GetStartupInfo|^ShellExecute|^CreateToolhelp32Snapshot|^(Process|Thread|Module|Heap)32|^Toolhelp|^EnumProcess|^GetModuleBaseName|^GetModuleFileNameEx|^GetMappedFileName|^GetProcessImageFileName|^GetPerformanceInfo|^EnumPageFiles|^EmptyWorkingSet|^InitializeProcThreadAttributeList|^UpdateProcThreadAttribute|^DeleteProcThreadAttributeList|Threadpool|^QueueUserWorkItem|^QueueUserAPC|^(Create|Delete|Change)TimerQueue|^RegisterWaitForSingleObject|^UnregisterWait|^BindIoCompletionCallback|^Rm[A-Z]|^Av[A-Z]|^AssignProcessToJobObject|JobObject|^Wow64(Suspend|GetThread|SetThread)|Pipe", [PROCESSES]),
    (None, r"(?<!Win)Event(Ex)?$|Mutex|Semaphore|CriticalSection|^WaitFor|^SignalObjectAndWait|^MsgWaitFor|Interlocked|SRWLock|ConditionVariable|SynchronizationBarrier|InitOnce|WaitableTimer|^WaitOnAddress|^WakeByAddress", [SYNC]),
    (None, r"Memory|Heap|^Global(Alloc|Free|Lock|Unlock|ReAlloc|Size|Flags|Handle|Compact|Fix|Unfix|Wire|Unwire|Discard|MemoryStatus)|^Local(Alloc|Free|Lock|Unlock|ReAlloc|Size|Flags|Handle|Compact|Shrink|Discard)|^Virtual|MapViewOf|FileMapping|^IsBad|^CoTaskMem|^(Get|Set)ProcessWorkingSetSize|^AllocateUserPhysicalPages|^FreeUserPhysicalPages|^MapUserPhysicalPages|^Rtl(Move|Copy|Zero|Fill|Compare|Secure)|^SysAllocStringByteLen|^SafeArray(Allocate|Destroy|Create|Redim|AccessData|UnaccessData|Lock|Unlock)|^SHAlloc|^SHFree|^LocalAlloc|^Mem[A-Z]|^GdipAlloc|^GdipFree|^NetApiBuffer|^RasFree|^DnsFree|^FreeSid|^HeapWalk", [MEMORY]),
    (None, r"^(Get|Set|Create|Remove|Find|Move|Copy|Delete|Replace|Lock|Unlock|Read|Write|Flush|Open|Search|Decrypt|Encrypt|Backup|Compress|Check|Query|Are|Is|Wow64|Define|Enum|Mark|Add)\w*(File|Directory|Folder|Path)|File(Name|Type|Size|Time|Attributes|Pointer|Information|Version|Exists|Operation|Extension)|^(_?l(open|close|read|write|creat|llseek)|_?h(read|write))$|^(Find(First|Next)File|FindClose|FindFirstChangeNotification|FindNextChangeNotification|FindCloseChangeNotification|ReadDirectoryChanges|GetTempFileName|GetFullPathName|SearchPath|GetShortPathName|GetLongPathName|GetCurrentDirectory|SetCurrentDirectory|GetTempPath|GetWindowsDirectory|GetSystemDirectory|GetSystemWindowsDirectory|OpenFile|CreateHardLink|CreateSymbolicLink|SetEndOfFile|DeviceIoControl|CancelIo|GetOverlappedResult|LZ[A-Z]|CopyLZFile|GetExpandedName)|^Path[A-Z]|^SHGetFolderPath|^SHGetSpecialFolderPath|^SHGetPathFromIDList|^SHCreateDirectory|^SHFileOperation|^SHGetKnownFolderPath|^SHGetFileInfo|^SHGetDiskFreeSpace|^MakeSureDirectoryPathExists|^SearchTreeForFile|^FindExecutable|^DragQueryFile|^GetFileVersionInfo|^VerQueryValue|^VerFindFile|^VerInstallFile|^VerLanguageName|^Stg(Create|Open)|^GetBinaryType|^Transacted|^(Create|Commit|Rollback)Transaction|^Wof[A-Z]|^WofUtil", [FILES]),
    (None, r"Drive|Disk|Volume|^DefineDosDevice|^QueryDosDevice|^GetDiskFreeSpace|^SetVolumeLabel|^(Open|Attach|Detach|Create|Expand|Merge|Compact|Resize|Mirror|Get|Set)VirtualDisk|^IsNetDrive|^SHFormatDrive|^DriveType|^RealDriveType|^PathIsNetworkPath", [DISKS]),
    (None, r"^(GetModule|LoadLibrary|FreeLibrary|GetProcAddress|LoadModule|DisableThreadLibraryCalls|AddDllDirectory|RemoveDllDirectory|SetDllDirectory|GetDllDirectory|SetDefaultDllDirectories|FreeLibraryAndExitThread|LoadPackagedLibrary|EnumProcessModules|GetModuleInformation|ImageLoad|ImageUnload|MapAndLoad|UnMapAndLoad|BindImage|ReBaseImage|CheckSumMappedFile|MapFileAndCheckSum|GetImageConfigInformation|ImageGetDigestStream|DllGetVersion|QueryOptionalDelayLoadedAPI|ResolveDelayLoad)", [MODULES]),
    (None, r"Resource|^(Load|Find|Enum|Update)(String|Bitmap|Icon|Cursor|Image|Menu|Accelerators|Resource)|^(Begin|End)UpdateResource|^SizeofResource|^LockResource|^FreeResource|Accelerator|^CopyAcceleratorTable", [RESOURCES]),
    (None, r"Icon|Cursor|^(Load|Create|Destroy|Copy|Draw|Get|Set)(Icon|Cursor)|^ExtractIcon|^ExtractAssociatedIcon|^PrivateExtractIcons", [ICONS]),
    (USER, r"Key(?!boardLayout)|Keyboard(?!Layout)|Mouse|^keybd_event|^mouse_event|^SendInput|^BlockInput|^MapVirtualKey|^VkKeyScan|^ToAscii|^ToUnicode|^SwapMouseButton|^GetDoubleClickTime|^SetDoubleClickTime|^ClipCursor|^GetClipCursor|^ShowCursor|^SetCursorPos|^GetCursorPos|^GetPhysicalCursorPos|^SetPhysicalCursorPos|^GetLastInputInfo|HotKey|Touch|Pointer|Gesture|RawInput|^DragDetect|^TrackMouseEvent|^(Get|Set|Release)Capture|^OemKeyScan|^OemToChar|^CharToOem|^LoadKeyboardLayout|^ActivateKeyboardLayout|^GetKeyboardLayout|^GetKBCodePage|^GetInputState|^SetCaret|^GetCaret|^(Create|Destroy|Show|Hide)Caret|^EnableMouseInPointer|^IsMouseInPointerEnabled|^InjectTouchInput|^GetMouseMovePointsEx|^EvaluateProximity|^GetCurrentInputMessageSource$|^GetCIMSSM$|^GetUnpredictedMessagePos$", [INPUT]),
    (None, r"^Imm[A-Z]|^Ime[A-Z]|Locale|CodePage|^GetACP$|^GetOEMCP$|^GetCPInfo|Language|^GetNumberFormat|^GetCurrencyFormat|^GetDurationFormat|^GetUserDefault|^GetSystemDefault|^EnumSystem(Locales|CodePages|LanguageGroups|Geo)|^EnumDateFormats|^EnumTimeFormats|^EnumCalendarInfo|Geo[A-Z]|Geo$|^GetThreadUI|^SetThreadUI|^GetUserGeoID|^SetUserGeoID|^IsValidNLSVersion|^GetNLSVersion|^IsNLSDefinedString|^FindNLSString|^LCMapString|^ResolveLocaleName|^IdnToAscii|^IdnToUnicode|^NormalizeString|^IsNormalizedString|^GetStringScripts|^VerifyScripts|^DownlevelGetParentLocaleName|KeyboardLayout|^GetKBCodePage|^ConvertDefaultLocale|^LCIDToLocaleName|^LocaleNameToLCID|^Script[A-Z]|^GetTextCharsetInfo|^TranslateCharsetInfo|^Msctf|^TF_", [LOCALE]),
    (None, r"^lstr|^Str[A-Z]|^wnsprintf|^wvnsprintf|^wsprintf|^wvsprintf|String(?!Security|Table)|^Char(Upper|Lower|Next|Prev|ToOem|ToOemBuff)|^IsChar|^IsText|^MultiByteToWideChar|^WideCharToMultiByte|^Compare|^FoldString|Atom|^GetStringType|^ChrCmpI|^IntlStrEqWorker|^SysAllocString|^SysReAllocString|^SysFreeString|^SysStringLen|^SysStringByteLen|^Url(Escape|Unescape)|^PathCompactPath|^SHStrDup|^SHAnsiToUnicode|^SHUnicodeToAnsi|^SHAnsiToAnsi|^SHUnicodeToUnicode|^StrFormat|^IsDBCSLeadByte|^CharLowerBuff|^CharUpperBuff|^Script[A-Z]|^GetTabbedTextExtent|^TabbedTextOut|^ExtTextOut|^TextOut|^DrawText|^GrayString|^GetTextExtent|^GetCharacterPlacement", [STRINGS]),
    (None, r"^(Var[A-Z]\w*(From|To)\w*|VarFormat\w*|VarParseNumFromStr|VarNumFromParseNum|VarWeekdayName|VarMonthName|VarTokenizeFormatString|VarBstr\w*|VectorFromBstr|BstrFromVector|VariantChangeType|VariantChangeTypeEx|VariantTimeToDosDateTime|DosDateTimeToVariantTime|SystemTimeToVariantTime|VariantTimeToSystemTime|VarDateFromUdate|VarUdateFromDate|FileTimeToSystemTime|SystemTimeToFileTime|FileTimeToLocalFileTime|LocalFileTimeToFileTime|FileTimeToDosDateTime|DosDateTimeToFileTime|PropVariantChange|PropVariantTo|InitPropVariantFrom|VariantTo|InitVariantFrom|StrTo|IntlStrEqWorker|MultiByteToWideChar|WideCharToMultiByte|ConvertSid|ConvertString|ConvertSecurity|CLSIDFromString|StringFromCLSID|StringFromGUID2|IIDFromString|StringFromIID|ProgIDFromCLSID|CLSIDFromProgID|Rtl\w*To\w*|inet_addr|inet_ntoa|inet_pton|inet_ntop|htons|htonl|ntohs|ntohl|WSAHtons|WSAHtonl|WSANtohs|WSANtohl|MulDiv)", [CONVERSION]),
    (None, r"^(Co[A-Z]|Ole[A-Z]|Stg[A-Z]|CLSID|ProgID|StringFromGUID|StringFromCLSID|StringFromIID|IIDFrom|CreateBindCtx|CreateStreamOnHGlobal|GetHGlobalFromStream|GetRunningObjectTable|BindMoniker|MkParse|Create\w*Moniker|MonikerCommonPrefixWith|MonikerRelativePathTo|(Register|Revoke)DragDrop|DoDragDrop|Sys[A-Z]|SafeArray|Variant|Var[A-Z]|LoadTypeLib|LoadRegTypeLib|RegisterTypeLib|UnRegisterTypeLib|QueryPathOfRegTypeLib|CreateTypeLib|CreateDispTypeInfo|CreateStdDispatch|DispGetParam|DispGetIDsOfNames|DispInvoke|GetActiveObject|(Register|Revoke)ActiveObject|GetErrorInfo|SetErrorInfo|CreateErrorInfo|ReadClassStg|WriteClassStg|ReadClassStm|WriteClassStm|ReadFmtUserTypeStg|WriteFmtUserTypeStg|GetClassFile|ReleaseStgMedium|CreateILockBytesOnHGlobal|GetHGlobalFromILockBytes|CreateDataAdviseHolder|CreateOleAdviseHolder|CreateDataCache|IsAccelerator|PropVariant|PropSys|PSGetPropertyKey|PSGet|PSCreate|PSLookup|PSFormat|PSRegister|PSUnregister|PSStringFromPropertyKey|PSPropertyKeyFromString|PSCoerce|PSRefresh|PSEnumPropertyDescriptions|PSGetNameFromPropertyKey|InitVariant|InitPropVariant|DllRegisterServer|HRGN_User|HWND_User|HDC_User|HBITMAP_User|HICON_User|HMENU_User|HGLOBAL_User|HPALETTE_User|HENHMETAFILE_User|HMETAFILEPICT_User|BSTR_User|VARIANT_User|LPSAFEARRAY_User|SNB_User|CLIPFORMAT_User|STGMEDIUM_User|HACCEL_User|HBRUSH_User|HFONT_User|Obj[A-Z]|AccessibleObjectFromWindow|AccessibleChildren|AccessibleObjectFromPoint|AccessibleObjectFromEvent|CreateStdAccessibleObject|CreateStdAccessibleProxy|LresultFromObject|ObjectFromLresult|WindowFromAccessibleObject|GetRoleText|GetStateText|GetOleaccVersionInfo|Hlink|URLOpen|URLDownload|CreateURLMoniker|CreateAsyncBindCtx|RegisterBindStatusCallback|RevokeBindStatusCallback|CreateFormatEnumerator|RegisterFormatEnumerator|RevokeFormatEnumerator|CoInternet|FindMimeFromData|ObtainUserAgentString|IsValidURL|CreateUri|CreateIUriBuilder|CopyBindInfo|ReleaseBindInfo|FaultInIEFeature|GetComponentIDFromCLSSPEC|IsAsyncMoniker|CompareSecurityIds|CompatFlagsFromClsid|GetClassURL|HlinkGoBack|HlinkGoForward|HlinkNavigateMoniker|HlinkNavigateString|HlinkSimpleNavigateToMoniker|HlinkSimpleNavigateToString|UrlMkGetSessionOption|UrlMkSetSessionOption|IsLoggingEnabled|WriteHitLogging)", [COM]),
    (None, r"^(Internet|Http|Ftp|Gopher|Url|InternetCombineUrl|FindFirstUrlCacheEntry|FindNextUrlCacheEntry|FindCloseUrlCache|GetUrlCacheEntryInfo|CommitUrlCacheEntry|CreateUrlCacheEntry|DeleteUrlCacheEntry|RetrieveUrlCacheEntry|UnlockUrlCacheEntry|ReadUrlCacheEntryStream|SetUrlCacheEntryInfo|InternetGetConnectedState|InternetCheckConnection|WinHttp|URLDownload|URLOpen|CreateURLMoniker|IsValidURL|CoInternet|FindMimeFromData|ObtainUserAgentString|PathIsURL|PathCreateFromUrl|UrlCreateFromPath|ParseURL|PathIsUNC|IsNetworkAlive|IsDestinationReachable|Ras[A-Z]|DnsQuery|DnsModifyRecords|DnsReplaceRecord|DnsValidateName|DnsFlushResolverCache|DnsNameCompare|DnsRecordCompare|DnsRecordSetCompare|DnsExtractRecordsFromMessage|DnsWriteQuestionToBuffer|Uri|CreateUri|MAPI)", [INTERNET]),
    (None, r"^(WSA|WSC|WSP|socket$|bind$|listen$|accept$|connect$|send$|sendto$|recv$|recvfrom$|select$|closesocket|shutdown$|ioctlsocket|getsockopt|setsockopt|getsockname|getpeername|gethostbyname|gethostbyaddr|gethostname|getservbyname|getservbyport|getprotobyname|getprotobynumber|getaddrinfo|freeaddrinfo|getnameinfo|GetAddrInfo|FreeAddrInfo|GetNameInfo|SetAddrInfo|inet_|htons|htonl|ntohs|ntohl|__WSAFDIsSet|WNet|MultinetGetConnectionPerformance|Net[A-Z]|NetBIOS|Netbios|Snmp|Dhcp|Dns[A-Z]|Icmp|Icmp6|IcmpSendEcho|Ip[A-Z]|GetAdapters|GetAdapter|GetIfTable|GetIfEntry|GetIpAddrTable|GetIpNetTable|GetIpForwardTable|GetTcpTable|GetUdpTable|GetExtendedTcpTable|GetExtendedUdpTable|GetTcp6Table|GetUdp6Table|GetBestInterface|GetBestRoute|GetNetworkParams|GetPerAdapterInfo|GetInterfaceInfo|GetNumberOfInterfaces|GetIcmpStatistics|GetIpStatistics|GetTcpStatistics|GetUdpStatistics|SendARP|FlushIpNetTable|CreateIpForwardEntry|DeleteIpForwardEntry|SetIpForwardEntry|CreateIpNetEntry|DeleteIpNetEntry|SetIpNetEntry|AddIPAddress|DeleteIPAddress|NotifyAddrChange|NotifyRouteChange|CancelIPChangeNotify|IpReleaseAddress|IpRenewAddress|SetTcpEntry|GetRTTAndHopCount|GetFriendlyIfIndex|EnableRouter|UnenableRouter|ConvertInterface|ConvertLength|ConvertIpv4|if_nametoindex|if_indextoname|GetUnicastIpAddress|GetAnycastIpAddress|GetMulticastIpAddress|GetIpInterface|GetIfEntry2|GetIfTable2|GetIpForwardTable2|GetIpNetTable2|FreeMibTable|Rpc[A-Z]|Ndr[A-Z]|I_Rpc|Uuid[A-Z]|Mpr[A-Z]|Wlan[A-Z]|Bluetooth|Http[A-Z]|Fwpm|IPsec|Ras[A-Z])", [NETWORK]),
    (None, r"^(Net(User|Group|LocalGroup|Query|ValidatePassword|GetJoin|Join|Unjoin|RenameMachine|GetJoinable|AddAlternate|RemoveAlternate|SetPrimary|EnumerateComputerNames|AccessAdd|AccessDel|AccessEnum|AccessGetInfo|AccessSetInfo|AccessGetUserPerms|GetDCName|GetAnyDCName|UserModals|Wksta)|Ds[A-Z]|ADs[A-Z]|ADsOpen|ADsGet|ADsBuild|ADsEnum|ADsFree|ADsSet|ReallocADsMem|AllocADsMem|FreeADsMem|ReallocADsStr|AllocADsStr|FreeADsStr|GetUserName|GetUserNameEx|GetComputerObjectName|TranslateName|GetUserProfileDirectory|GetProfilesDirectory|GetAllUsersProfileDirectory|GetDefaultUserProfileDirectory|LoadUserProfile|UnloadUserProfile|CreateProfile|DeleteProfile|GetProfileType|CreateEnvironmentBlock|DestroyEnvironmentBlock|ExpandEnvironmentStringsForUser|WTS[A-Z]|LogonUser|CreateProcessAsUser|CreateProcessWithLogon|CreateProcessWithToken|ImpersonateLoggedOnUser|GetAppContainer|DeriveAppContainer|CreateAppContainerProfile|DeleteAppContainerProfile|GetUserProfile|RefreshPolicy|EnterCriticalPolicySection|LeaveCriticalPolicySection|RegisterGPNotification|UnregisterGPNotification|GetGPOList|FreeGPOList|GetAppliedGPOList|ProcessGroupPolicyCompleted|RsopAccessCheckByType|RsopFileAccessCheck|RsopSetPolicySettingStatus|RsopResetPolicySettingStatus|GenerateGPNotification|GetSystemTemperatureDirectory)", [USERS]),
    (None, r"^(SetupDi|SetupQueue|SetupInstall|SetupCommit|SetupOpen|SetupClose|SetupFind|SetupGet|SetupIterate|SetupPrompt|SetupCopy|SetupRename|SetupDelete|SetupDefault|SetupInit|SetupTerm|SetupScan|SetupSet|SetupAdd|SetupRemove|SetupDuplicate|SetupDestroy|SetupCreate|SetupQuery|SetupDecompress|SetupUninstall|SetupBackup|SetupEnum|SetupConfigure|SetupVerify|SetupPrepare|SetupLog|SetupOpenLog|SetupCloseLog|SetupPromote|SetupCancel|SetupSetNonInteractive|SetupWrite|SetupDiskSpace|Setup[A-Z]|CM_|HidD_|HidP_|UpdateDriverForPlugAndPlayDevices|DiInstallDriver|DiInstallDevice|DiRollbackDriver|DiShowUpdateDevice|DiUninstallDevice|DiUninstallDriver|WinUsb_|Bluetooth|SCard|RegisterDeviceNotification|UnregisterDeviceNotification|DeviceIoControl|QueryDosDevice|DefineDosDevice|DeviceCapabilities|EnumDisplayDevices|EnumDisplaySettings|ChangeDisplaySettings|EnumDisplayMonitors|GetMonitorInfo|MonitorFrom|SetupComm|GetCommState|SetCommState|GetCommTimeouts|SetCommTimeouts|ClearCommError|ClearCommBreak|SetCommBreak|EscapeCommFunction|GetCommMask|SetCommMask|WaitCommEvent|PurgeComm|TransmitCommChar|GetCommModemStatus|GetCommProperties|BuildCommDCB|BuildCommDCBAndTimeouts|CommConfigDialog|GetCommConfig|SetCommConfig|GetDefaultCommConfig|SetDefaultCommConfig|OpenCommPort|GetCommPorts|joy|Direct3DCreate|DirectDrawCreate|DirectDrawEnumerate|DirectInput8Create|DirectSoundCreate|DirectSoundEnumerate|DirectSoundCapture|DirectSoundFullDuplexCreate|GetDeviceID|Tape|GetTapeParameters|SetTapeParameters|GetTapeStatus|GetTapePosition|SetTapePosition|PrepareTape|EraseTape|CreateTapePartition|WriteTapemark|GetDevicePowerState|RequestDeviceWakeup|CancelDeviceWakeupRequest|Interlocked|GetSystemFirmwareTable|EnumSystemFirmwareTables|GetFirmwareType|GetFirmwareEnvironmentVariable|SetFirmwareEnvironmentVariable|GetLogicalProcessorInformation|GetNumaHighestNodeNumber|GetNumaNodeProcessorMask|GetNumaProcessorNode|GetNumaAvailableMemoryNode|GetActiveProcessor|GetMaximumProcessor)", [DEVICES]),
    # Shutting the system down is power management; a library's, a session's or a socket's
    # shutdown (GdiplusShutdown, MFShutdown, WinHttpWebSocketShutdown, PeerGraphShutdown) is not.
    (None, r"Power|Suspend|^SetThreadExecutionState|Battery|^ExitWindows|^(Initiate|Abort)(System)?Shutdown|^CancelShutdown$|^WTSShutdownSystem$|^IsPwrShutdownAllowed$|^LockWorkStation|^SetSystemPowerState|^IsPwr|^Pwr|^SetSuspendState|^GetSystemPowerStatus|^RequestWakeupLatency|^IsSystemResumeAutomatic|^PowerCreateRequest|^PowerSetRequest|^PowerClearRequest|^(Read|Write)(Global)?PwrPolicy|^(Read|Write)ProcessorPwrScheme|^(Get|Set)ActivePwrScheme|^EnumPwrSchemes|^DeletePwrScheme|^GetPwrCapabilities|^GetPwrDiskSpindownRange|^GetCurrentPowerPolicies|^ValidatePowerPolicies|^CanUserWritePwrScheme|^CallNtPowerInformation|^DevicePowerEnumDevices|^DevicePowerSetDeviceState|^DevicePowerOpen|^DevicePowerClose|^GetDevicePowerState|^RequestDeviceWakeup|^CancelDeviceWakeupRequest", [POWER]),
    (None, r"^SQL|^SQLConfig|^SQLInstall|^SQLRemove|^SQLGet|^SQLWrite|^SQLCreate|^SQLManage|^SQLValid|^SQLPost|^SQLConfigDataSource|^SQLConfigDriver|^SQLRemoveDSN|^SQLWriteDSN|^SQLGetPrivateProfileString|^SQLWritePrivateProfileString|^SQLInstallerError", [DATABASE]),
    (None, r"^(Msi[A-Z]|Sfc[A-Z]|SRSetRestorePoint|SRRemoveRestorePoint|SfcIsFileProtected|SfcGetNextProtectedFile|SfcIsKeyProtected|VerInstallFile|VerFindFile)", [SYSTEM]),
    (None, r"Printer|^(StartDoc|EndDoc|StartPage|EndPage|AbortDoc|Escape|ExtEscape|DeviceCapabilities|DocumentProperties|AdvancedDocumentProperties|SetAbortProc|AbortPrinter|ScheduleJob|FlushPrinter|ReadPrinter|WritePrinter|StartDocPrinter|EndDocPrinter|StartPagePrinter|EndPagePrinter|OpenPrinter|ClosePrinter|GetJob|SetJob|EnumJobs|AddJob|AddForm|DeleteForm|GetForm|SetForm|EnumForms|EnumMonitors|AddMonitor|DeleteMonitor|EnumPorts|AddPort|DeletePort|ConfigurePort|SetPort|GetPrintProcessorDirectory|EnumPrintProcessors|EnumPrintProcessorDatatypes|AddPrintProcessor|DeletePrintProcessor|AddPrintProvidor|DeletePrintProvidor|GetDefaultPrinter|SetDefaultPrinter|PrintDlg|PageSetupDlg|GetSpoolFile|CommitSpoolData|CloseSpoolFileHandle|GetPrinterDriver|AddPrinterDriver|DeletePrinterDriver|EnumPrinterDrivers|GetPrinterDriverDirectory|PrinterProperties|ConnectToPrinterDlg|WaitForPrinterChange|FindFirstPrinterChangeNotification|FindNextPrinterChangeNotification|FindClosePrinterChangeNotification|FreePrinterNotifyInfo|IsValidDevmode|GetCorePrinterDrivers|UploadPrinterDriverPackage|InstallPrinterDriverFromPackage|GetPrinterDriverPackagePath|CorePrinterDriverInstalled|DeletePrinterDriverPackage|ReportJobProcessingProgress|GetPrintExecutionData|GetJobNamedPropertyValue|SetJobNamedProperty|DeleteJobNamedProperty|EnumJobNamedProperties|FreePrintNamedPropertyArray|FreePrintPropertyValue|GetPrinterData|SetPrinterData|DeletePrinterData|EnumPrinterData|GetPrinterDataEx|SetPrinterDataEx|DeletePrinterDataEx|EnumPrinterDataEx|EnumPrinterKey|DeletePrinterKey)", [PRINTING]),
    (None, r"Font|^(TextOut|ExtTextOut|PolyTextOut|TabbedTextOut|DrawText|GetTextExtent|GetTextMetrics|GetTextFace|GetTextColor|SetTextColor|GetTextAlign|SetTextAlign|GetTextCharacterExtra|SetTextCharacterExtra|SetTextJustification|GetCharWidth|GetCharABCWidths|GetCharacterPlacement|GetGlyphOutline|GetGlyphIndices|GetOutlineTextMetrics|GetKerningPairs|GetTextCharset|GetFontData|GetFontUnicodeRanges|GetFontLanguageInfo|GetRasterizerCaps|TTEmbedFont|TTLoadEmbeddedFont|TTDeleteEmbeddedFont|TTGetEmbeddingType|TTCharToUnicode|TTRunValidationTests|TTIsEmbeddingEnabled|TTEnableEmbeddingForFacename|TTGetEmbeddedFontInfo|TTGetNewFontName|TT[A-Z]|Script(Shape|Place|TextOut|StringAnalyse|GetCMap|GetFont|GetGlyphABCWidth|CacheGetHeight|FreeCache|SubstituteSingleGlyph|PositionSingleGlyph)|GdipCreateFont|GdipGetFont|GdipDeleteFont|GdipNewInstalledFontCollection|GdipNewPrivateFontCollection|GdipPrivateAddFont|GdipGetFamily|GdipCreateFontFamily|GdipGetGenericFont|GdipDrawString|GdipMeasureString|GdipMeasureCharacterRanges|GdipDrawDriverString|GdipMeasureDriverString|GdipSetTextRenderingHint|GdipGetTextRenderingHint|GdipSetTextContrast|GdipGetTextContrast)", [FONTS]),
    (None, r"Bitmap|DIB|Blt$|Blend|GradientFill|^(GetPixel|SetPixel|SetPixelV|GetDIBits|SetDIBits|StretchDIBits|SetDIBitsToDevice|CreateDIBSection|CreateDIBitmap|CreateCompatibleBitmap|LoadImage|CopyImage|ImageList_|GdipLoadImage|GdipSaveImage|GdipCreateBitmap|GdipBitmap|GdipGetImage|GdipImage|GdipDisposeImage|GdipCloneImage|GdipDrawImage|GdipCreateHBITMAP|GdipCreateHICON|GdipGetEncoder|GdipGetDecoder|GdipCreateCachedBitmap|GdipDeleteCachedBitmap|GdipDrawCachedBitmap|GdipCreateEffect|GdipDeleteEffect|GdipSetEffect|GdipGetEffect|GdipCreateMetafile|GdipGetMetafile|GdipRecordMetafile|GdipPlayMetafile|GdipEnumerateMetafile|GdipGetHemf|GdipConvertToEmfPlus|GdipEmfToWmfBits|GdipSaveAdd|GdipGetPropertyItem|GdipSetPropertyItem|GdipRemovePropertyItem|GdipGetPropertyIdList|GdipGetPropertyCount|GdipGetPropertySize|GdipGetAllPropertyItems|GdipGetPropertyItemSize|GdipGetFrame|GdipImageGetFrame|GdipImageSelectActiveFrame|GdipImageRotateFlip|GdipImageForceValidation|GdipCreateTexture|GdipLoadImageFromFile|GdipLoadImageFromStream|GdipCreateFromHDC|OleLoadPicture|OleCreatePicture|OleLoadPicturePath|OleLoadPictureFile|OleSavePictureFile|OleIconToCursor|CreateIconIndirect|DrawDibDraw|DrawDib|ICImage|ICDraw|AVIStreamGetFrame|CreateEnhMetaFile|CloseEnhMetaFile|PlayEnhMetaFile|CreateMetaFile|CloseMetaFile|PlayMetaFile|GetEnhMetaFile|GetMetaFile|CopyEnhMetaFile|CopyMetaFile|DeleteEnhMetaFile|DeleteMetaFile|EnumEnhMetaFile|EnumMetaFile|SetEnhMetaFileBits|SetMetaFileBits|GetEnhMetaFileBits|GetMetaFileBits|SetWinMetaFileBits|GetWinMetaFileBits|GdiComment|PlayEnhMetaFileRecord|PlayMetaFileRecord|MaskBlt|PlgBlt|TransparentBlt|AlphaBlend|GdiTransparentBlt|GdiAlphaBlend|GdiGradientFill|Image)", [IMAGES]),
    (WINDOW_HEADERS, r"^(Create|Destroy|Show|Move|Close|Find|Enum|Get|Set|Is|Update|Redraw|Invalidate|Validate|Lock|Animate|Flash|Bring|Switch|Cascade|Tile|Arrange|Minimize|Open|Adjust|Map|Child|Real|Scroll|Begin|End|Def|Call|Register|Unregister|Print|Logical|Physical|Allow|Disable|Calculate|Dwm|Draw)\w*(Window|Wnd|Class|Parent|Foreground|Focus|Capture|Region|Rgn|Placement|Prop|Paint|Update|Desktop|Dpi|Monitor|Frame|Caption|Children|Rect|Pos|Layered|Theme|Composition|Iconic|Zoomed|Visible|Enabled)|^(GetDesktopWindow|GetShellWindow|GetTopWindow|GetNextWindow|GetWindow|GetActiveWindow|SetActiveWindow|GetForegroundWindow|SetForegroundWindow|GetFocus|SetFocus|ShowWindow|MoveWindow|SetWindowPos|BeginDeferWindowPos|DeferWindowPos|EndDeferWindowPos|BringWindowToTop|IsWindow|IsChild|IsIconic|IsZoomed|IsWindowVisible|IsWindowEnabled|IsWindowUnicode|IsHungAppWindow|EnableWindow|CloseWindow|OpenIcon|FlashWindow|FlashWindowEx|AnimateWindow|ClientToScreen|ScreenToClient|MapWindowPoints|WindowFromPoint|ChildWindowFromPoint|ChildWindowFromPointEx|RealChildWindowFromPoint|WindowFromDC|GetDC|GetDCEx|GetWindowDC|ReleaseDC|BeginPaint|EndPaint|InvalidateRect|InvalidateRgn|ValidateRect|ValidateRgn|UpdateWindow|RedrawWindow|LockWindowUpdate|GetUpdateRect|GetUpdateRgn|ExcludeUpdateRgn|ScrollWindow|ScrollWindowEx|ScrollDC|SetScrollInfo|GetScrollInfo|SetScrollPos|GetScrollPos|SetScrollRange|GetScrollRange|ShowScrollBar|EnableScrollBar|GetScrollBarInfo|GetTitleBarInfo|GetComboBoxInfo|GetListBoxInfo|GetMenuBarInfo|GetAltTabInfo|GetGUIThreadInfo|GetWindowInfo|GetWindowModuleFileName|RealGetWindowClass|GetClassName|GetClassInfo|GetClassInfoEx|RegisterClass|RegisterClassEx|UnregisterClass|GetClassLong|SetClassLong|GetClassWord|SetClassWord|GetWindowLong|SetWindowLong|GetWindowWord|SetWindowWord|GetWindowLongPtr|SetWindowLongPtr|GetClassLongPtr|SetClassLongPtr|DefWindowProc|CallWindowProc|DefMDIChildProc|DefFrameProc|TranslateMDISysAccel|ArrangeIconicWindows|CascadeWindows|TileWindows|SwitchToThisWindow|ShowOwnedPopups|AnyPopup|GetLastActivePopup|SetWindowRgn|GetWindowRgn|GetWindowRgnBox|SetLayeredWindowAttributes|GetLayeredWindowAttributes|UpdateLayeredWindow|UpdateLayeredWindowIndirect|SetWindowDisplayAffinity|GetWindowDisplayAffinity|SetProcessDPIAware|IsProcessDPIAware|SetProcessDpiAwareness|GetProcessDpiAwareness|GetDpiForWindow|GetDpiForSystem|GetDpiForMonitor|SetThreadDpiAwarenessContext|GetThreadDpiAwarenessContext|SetProcessDpiAwarenessContext|AdjustWindowRect|AdjustWindowRectEx|AdjustWindowRectExForDpi|GetWindowRect|GetClientRect|SetWindowText|GetWindowText|GetWindowTextLength|InternalGetWindowText|SetWindowContextHelpId|GetWindowContextHelpId|ShowWindowAsync|SetParent|GetParent|GetAncestor|GetDesktopWindow|EnumWindows|EnumChildWindows|EnumThreadWindows|EnumDesktopWindows|FindWindow|FindWindowEx|SetProp|GetProp|RemoveProp|EnumProps|EnumPropsEx|CreateWindowEx|CreateWindow|DestroyWindow|CreateMDIWindow|IsGUIThread|GetWindowThreadProcessId|SetCapture|ReleaseCapture|GetCapture|SetShellWindow|SetTaskmanWindow|GetTaskmanWindow|SetWindowsHookEx|CallNextHookEx|UnhookWindowsHookEx|SetWinEventHook|UnhookWinEvent|NotifyWinEvent|IsWinEventHookInstalled|Dwm[A-Z]|CalculatePopupWindowPosition|LogicalToPhysicalPoint|PhysicalToLogicalPoint|GetSystemMetricsForDpi|SystemParametersInfoForDpi)", [WINDOWS]),
    (None, r"^(GetMessage|PeekMessage|PostMessage|SendMessage|PostThreadMessage|SendNotifyMessage|SendMessageCallback|SendMessageTimeout|TranslateMessage|DispatchMessage|PostQuitMessage|RegisterWindowMessage|WaitMessage|ReplyMessage|InSendMessage|InSendMessageEx|BroadcastSystemMessage|BroadcastSystemMessageEx|GetMessagePos|GetMessageTime|GetMessageExtraInfo|SetMessageExtraInfo|GetQueueStatus|GetInputState|MsgWaitForMultipleObjects|MsgWaitForMultipleObjectsEx|SetWindowsHookEx|SetWindowsHook|CallNextHookEx|UnhookWindowsHookEx|UnhookWindowsHook|CallMsgFilter|ChangeWindowMessageFilter|ChangeWindowMessageFilterEx|IsDialogMessage|TranslateAccelerator|Dde[A-Z]|PackDDElParam|UnpackDDElParam|FreeDDElParam|ReuseDDElParam|ImpersonateDdeClientWindow|SetMessageQueue|RegisterShellHookWindow|DeregisterShellHookWindow|SetWinEventHook|UnhookWinEvent|NotifyWinEvent|IsWow64Message|GetUnpredictedMessagePos|GetCurrentInputMessageSource|GetCIMSSM)$", [MESSAGES]),
    # Rectangle arithmetic and drawing on a device context, filed as OffsetRect and
    # FillRect are; display modes and rotation, as ChangeDisplaySettings is; the system
    # colours, as GetSysColor is.
    (USER, r"^(CopyRect|EqualRect|IntersectRect|SubtractRect|UnionRect|IsRectEmpty|SetRectEmpty|InvertRect|DrawFocusRect|DrawState|PaintDesktop)$", [GRAPHICS]),
    (USER, r"DisplayConfig|AutoRotation", [GRAPHICS, DEVICES]),
    (USER, r"^(SetSysColors|GetSysColorBrush)$", [GRAPHICS, SYSTEM]),
    (("dwmapi.h",), r"^Dwm(RenderGesture|ShowContact|TetherContact)$", [INPUT]),
    # Regions are made to shape windows (SetWindowRgn), as the hand-filed CreateRectRgn.
    (("wingdi.h",), r"^Create\w*Rgn", [GRAPHICS, WINDOWS]),
    # Visual styles: the calls about a window or the whole program; the drawing of a
    # control's parts and the theme's properties; painting through a buffer.
    (("uxtheme.h",), r"^(SetWindowTheme|GetWindowTheme|OpenThemeData|CloseThemeData|DrawThemeParentBackground|EnableThemeDialogTexture|IsThemeDialogTextureEnabled|IsThemeActive|IsAppThemed|IsCompositionActive|EnableTheming|SetThemeAppProperties|GetThemeAppProperties|BeginPanningFeedback|UpdatePanningFeedback|EndPanningFeedback)", [WINDOWS]),
    (("uxtheme.h",), r"Theme", [GRAPHICS, CONTROLS]),
    (None, r"^(Gdip|Gdiplus)", [GRAPHICS]),
    (None, r"^(gl[A-Z]|glu[A-Z]|wgl|Direct3D|DirectDraw|ChoosePixelFormat|DescribePixelFormat|GetPixelFormat|SetPixelFormat|SwapBuffers|GetEnhMetaFilePixelFormat)", [THREE_D]),
    (None, r"^(SH[A-Z]|Shell|DragQuery|DragFinish|DragAcceptFiles|DragQueryPoint|ExtractIcon|ExtractAssociatedIcon|FindExecutable|ShellAbout|ShellMessageBox|ShellExecute|Shell_|IL[A-Z]|Assoc[A-Z]|Path[A-Z]|Url[A-Z]|HashData|DoEnvironmentSubst|DuplicateIcon|CommandLineToArgv|Win32DeleteFile|SignalFileOpen|OpenRegStream|IsNetDrive|IsUserAnAdmin|PickIconDlg|RestartDialog|RestartDialogEx|DriveType|RealDriveType|GetFileNameFromBrowse|CDefFolderMenu|CIDLData|SetCurrentProcessExplicitAppUserModelID|GetCurrentProcessExplicitAppUserModelID|InitNetworkAddressControl|StgMakeUniqueName|Intl|ColorAdjustLuma|ColorHLSToRGB|ColorRGBToHLS|IStream_|IUnknown_|IsOS|IsCharSpace|GetAcceptLanguages|ParseURL|QISearch|ConnectToConnectionPoint|GetMenuPosFromID|WhichPlatform)", [SHELL]),
]

# (headers or None, pattern, area): an area the rules above would give names of the
# pattern that are not about its subject.
NOT_IN = [
    # A FILETIME is a time: converting one touches no file (GetFileTime and SetFileTime,
    # which read and write a file's times, keep the area).
    (None, r"^(?!(Get|Set)FileTime$)\w*FileTime", FILES),
    # A cluster's resources are the disks, addresses and services it fails over, not the
    # icons and strings of a program's file.
    (None, r"Cluster|^ResUtil|^CanResourceBeDependent$", RESOURCES),
    (None, r"^SQL", ICONS),                 # an ODBC cursor walks a result set
    (None, r"Iconic|^OpenIcon$", ICONS),    # minimized windows and taskbar thumbnails
    (USER, r"^GetPointer", ICONS),          # a pen's tip and eraser
    # Where the mouse is, as GetCursorPos, SetCursorPos and ClipCursor are filed.
    (USER, r"^((Get|Set)PhysicalCursorPos|GetClipCursor)$", ICONS),
    (USER, r"^((Get|Set)PhysicalCursorPos|IsMouseInPointerEnabled|GetMessagePos|GetUnpredictedMessagePos|SetRectEmpty|IsRectEmpty|DrawFocusRect|GetUpdatedClipboardFormats)$|^GetPointer", WINDOWS),
    (("dwmapi.h",), r"^Dwm(GetCompositionTimingInfo|GetGraphicsStream\w*|GetTransportAttributes|RenderGesture|ShowContact|TetherContact)$", WINDOWS),
]

HEADER_AREAS = {
    "winuser.h": [WINDOWS], "wingdi.h": [GRAPHICS], "winbase.h": [SYSTEM], "winreg.h": [REGISTRY],
    "fileapi.h": [FILES], "ioapiset.h": [FILES], "processthreadsapi.h": [PROCESSES],
    "synchapi.h": [SYNC], "memoryapi.h": [MEMORY], "heapapi.h": [MEMORY],
    "sysinfoapi.h": [SYSTEM], "libloaderapi.h": [MODULES], "errhandlingapi.h": [ERRORS],
    "debugapi.h": [ERRORS], "wincon.h": [CONSOLE], "winnls.h": [LOCALE],
    "stringapiset.h": [STRINGS, LOCALE], "timezoneapi.h": [TIME], "datetimeapi.h": [TIME],
    "profileapi.h": [TIME], "realtimeapiset.h": [TIME], "threadpoolapiset.h": [PROCESSES],
    "threadpoollegacyapiset.h": [PROCESSES], "fibersapi.h": [PROCESSES], "handleapi.h": [SYSTEM],
    "interlockedapi.h": [SYNC], "processenv.h": [PROCESSES], "securitybaseapi.h": [SECURITY],
    "aclapi.h": [SECURITY], "sddl.h": [SECURITY], "authz.h": [SECURITY], "winsafer.h": [SECURITY],
    "ntsecapi.h": [SECURITY], "winefs.h": [FILES, SECURITY], "wincred.h": [SECURITY],
    "sspi.h": [SECURITY], "secext.h": [SECURITY, USERS], "schannel.h": [SECURITY, CRYPTO],
    "wincrypt.h": [CRYPTO], "bcrypt.h": [CRYPTO], "ncrypt.h": [CRYPTO], "dpapi.h": [CRYPTO],
    "mssip.h": [CRYPTO], "mscat.h": [CRYPTO], "wintrust.h": [CRYPTO, SECURITY],
    "shellapi.h": [SHELL], "shlobj.h": [SHELL], "shobjidl.h": [SHELL], "shlwapi.h": [SHELL],
    "shellscalingapi.h": [WINDOWS], "commctrl.h": [CONTROLS], "prsht.h": [CONTROLS, DIALOGS],
    "commdlg.h": [DIALOGS], "mmsystem.h": [SOUND], "msacm.h": [SOUND], "vfw.h": [SOUND],
    "dsound.h": [SOUND], "winsock.h": [NETWORK], "winsock2.h": [NETWORK], "ws2tcpip.h": [NETWORK],
    "mstcpip.h": [NETWORK], "_fd_types.h": [NETWORK], "iphlpapi.h": [NETWORK],
    "icmpapi.h": [NETWORK], "netioapi.h": [NETWORK], "windns.h": [NETWORK],
    "dhcpcsdk.h": [NETWORK], "snmp.h": [NETWORK], "winsnmp.h": [NETWORK], "mgmtapi.h": [NETWORK],
    "nb30.h": [NETWORK], "rpcdce.h": [NETWORK], "rpcdcep.h": [NETWORK], "rpcndr.h": [NETWORK],
    "rpcnsi.h": [NETWORK], "rpcnsip.h": [NETWORK], "rpcasync.h": [NETWORK], "ras.h": [NETWORK],
    "rasdlg.h": [NETWORK, DIALOGS], "mprapi.h": [NETWORK], "winnetwk.h": [NETWORK],
    "wlanapi.h": [NETWORK], "http.h": [NETWORK, INTERNET], "mapi.h": [INTERNET],
    "lmaccess.h": [USERS, NETWORK], "lmalert.h": [NETWORK], "lmapibuf.h": [NETWORK, MEMORY],
    "lmaudit.h": [NETWORK], "lmconfig.h": [NETWORK], "lmerrlog.h": [NETWORK, ERRORS],
    "lmjoin.h": [NETWORK, USERS], "lmmsg.h": [NETWORK], "lmremutl.h": [NETWORK],
    "lmrepl.h": [NETWORK], "lmserver.h": [NETWORK], "lmshare.h": [NETWORK, FILES],
    "lmstats.h": [NETWORK], "lmsvc.h": [NETWORK, SERVICES], "lmuse.h": [NETWORK, DISKS],
    "lmwksta.h": [NETWORK], "ntdsapi.h": [USERS, NETWORK], "dsrole.h": [USERS, NETWORK],
    "adshlp.h": [USERS, COM], "wininet.h": [INTERNET], "winhttp.h": [INTERNET],
    "urlmon.h": [INTERNET, COM], "winspool.h": [PRINTING], "ole2.h": [COM], "objbase.h": [COM],
    "combaseapi.h": [COM], "objidl.h": [COM], "oleidl.h": [COM], "ocidl.h": [COM],
    "olectl.h": [COM], "oledlg.h": [COM, DIALOGS], "oleacc.h": [COM, WINDOWS],
    "propidl.h": [COM], "propsys.h": [COM], "propvarutil.h": [COM], "oleauto.h": [COM],
    "oaidl.h": [COM], "setupapi.h": [DEVICES], "cfgmgr32.h": [DEVICES], "hidsdi.h": [DEVICES],
    "hidpi.h": [DEVICES], "newdev.h": [DEVICES], "winusb.h": [DEVICES],
    "bluetoothapis.h": [DEVICES, NETWORK], "virtdisk.h": [DISKS], "powrprof.h": [POWER],
    "userenv.h": [USERS], "wtsapi32.h": [USERS, SYSTEM], "uxtheme.h": [GRAPHICS],
    "dwmapi.h": [WINDOWS, GRAPHICS], "gdiplusflat.h": [GRAPHICS], "gdiplusinit.h": [GRAPHICS],
    "gdiplusmem.h": [GRAPHICS, MEMORY], "gl.h": [THREE_D], "glu.h": [THREE_D],
    "usp10.h": [FONTS, STRINGS], "icm.h": [GRAPHICS], "t2embapi.h": [FONTS], "imm.h": [LOCALE, INPUT],
    "msi.h": [SYSTEM], "sql.h": [DATABASE], "sqlext.h": [DATABASE], "sqlucode.h": [DATABASE],
    "odbcinst.h": [DATABASE], "pdh.h": [ERRORS, SYSTEM], "evntrace.h": [ERRORS],
    "evntprov.h": [ERRORS], "evntcons.h": [ERRORS], "tdh.h": [ERRORS], "winevt.h": [ERRORS],
    "_dbg_common.h": [ERRORS], "imagehlp.h": [ERRORS, MODULES], "tlhelp32.h": [PROCESSES],
    "psapi.h": [PROCESSES], "ktmw32.h": [FILES], "avrt.h": [PROCESSES], "sfc.h": [SYSTEM],
    "srrestoreptapi.h": [SYSTEM], "restartmanager.h": [PROCESSES], "winscard.h": [DEVICES, SECURITY],
    "lzexpand.h": [FILES], "htmlhelp.h": [WINDOWS], "ddraw.h": [THREE_D], "d3d9.h": [THREE_D],
    "dinput.h": [INPUT, DEVICES], "dde.h": [MESSAGES], "ddeml.h": [MESSAGES],
    "winternl.h": [SYSTEM], "tapi.h": [NETWORK, DEVICES], "winver.h": [FILES], "wow64apiset.h": [SYSTEM],
    "namespaceapi.h": [SECURITY], "jobapi.h": [PROCESSES], "utilapiset.h": [SYSTEM],
    "winnt.h": [MEMORY], "msctf.h": [LOCALE], "namedpipeapi.h": [PROCESSES, FILES],
    "processtopologyapi.h": [PROCESSES], "systemtopologyapi.h": [SYSTEM],
    "securityappcontainer.h": [SECURITY], "bemapiset.h": [SYSTEM], "structuredquerycondition.h": [COM],
}

# The headers read for the functions of Microsoft's metadata (coverage.py).
HEADER_AREAS.update({
    "esent.h": [DATABASE], "p2p.h": [NETWORK], "fwpmu.h": [NETWORK, SECURITY],
    "mfapi.h": [SOUND], "mfidl.h": [SOUND], "mfobjects.h": [SOUND], "mftransform.h": [SOUND],
    "mfreadwrite.h": [SOUND], "evr.h": [SOUND], "wmcontainer.h": [SOUND], "dmort.h": [SOUND],
    "dmoreg.h": [SOUND], "msdrm.h": [SECURITY, CRYPTO], "clfsw32.h": [FILES], "clfs.h": [FILES],
    "txfw32.h": [FILES], "rtutils.h": [NETWORK, ERRORS], "winsplp.h": [PRINTING],
    "prntvpt.h": [PRINTING], "wdsclientapi.h": [NETWORK, SYSTEM], "dsgetdc.h": [USERS, NETWORK],
    "highlevelmonitorconfigurationapi.h": [DEVICES], "physicalmonitorenumerationapi.h": [DEVICES],
    "lmdfs.h": [NETWORK, FILES], "lmat.h": [NETWORK, TIME], "npapi.h": [NETWORK], "nspapi.h": [NETWORK],
    "ws2spi.h": [NETWORK], "madcapcl.h": [NETWORK], "davclnt.h": [NETWORK, FILES],
    "winineti.h": [INTERNET], "wabutil.h": [INTERNET], "mapiutil.h": [INTERNET],
    "perflib.h": [ERRORS, SYSTEM], "webauthn.h": [SECURITY], "dssec.h": [SECURITY, USERS],
    "aclui.h": [SECURITY, DIALOGS], "atacct.h": [SECURITY], "tbs.h": [DEVICES, SECURITY],
    "winnls32.h": [LOCALE, INPUT], "elscore.h": [LOCALE], "appmgmt.h": [SYSTEM], "gpedit.h": [SYSTEM],
    "slpublic.h": [SYSTEM], "wincodec.h": [IMAGES], "ntquery.h": [FILES], "wct.h": [PROCESSES, ERRORS],
    "errorrep.h": [ERRORS],
})

# Functions whose prototypes were written from Microsoft's metadata carry its namespace in
# place of a header ("win32metadata:Storage.FileSystem"); the longest prefix that matches
# gives their areas where no name rule does.
NAMESPACE_AREAS = [
    ("Networking.WinInet", [INTERNET]), ("Networking.WinHttp", [INTERNET]), ("Web", [INTERNET]),
    ("Networking", [NETWORK]), ("NetworkManagement", [NETWORK]),
    ("Security.Cryptography", [CRYPTO]), ("Security", [SECURITY]), ("Identity", [SECURITY, USERS]),
    ("Storage.IscsiDisc", [DISKS, NETWORK]), ("Storage.Packaging", [SYSTEM]), ("Storage.Jet", [DATABASE]),
    ("Storage.Vhd", [DISKS]), ("Storage.Imapi", [INTERNET]), ("Storage.Vss", [DISKS]),
    ("Storage.VirtualDiskService", [DISKS]), ("Storage.Compression", [CONVERSION]), ("Storage.StructuredStorage", [COM]), ("Storage.Xps", [PRINTING]),
    ("Storage", [FILES]), ("System.Com", [COM]), ("System.Ole", [COM]), ("System.Variant", [COM, CONVERSION]),
    ("System.Registry", [REGISTRY]), ("System.Memory", [MEMORY]), ("System.Threading", [PROCESSES]),
    ("System.ProcessStatus", [PROCESSES]), ("System.JobObjects", [PROCESSES]),
    ("System.Diagnostics", [ERRORS]), ("System.ErrorReporting", [ERRORS]), ("System.EventLog", [ERRORS]),
    ("System.Services", [SERVICES]), ("System.Power", [POWER]), ("System.Console", [CONSOLE]),
    ("System.LibraryLoader", [MODULES]), ("System.Time", [TIME]), ("System.Rpc", [NETWORK]),
    ("System.DataExchange", [CLIPBOARD, MESSAGES]), ("System", [SYSTEM]),
    ("Graphics.OpenGL", [THREE_D]), ("Graphics.Direct", [THREE_D]), ("Graphics.Dxgi", [THREE_D]),
    ("Graphics.Printing", [PRINTING]), ("Graphics.Imaging", [IMAGES]), ("Graphics", [GRAPHICS]),
    ("UI.Shell", [SHELL]), ("UI.Controls", [CONTROLS]), ("UI.Input", [INPUT]),
    ("UI.ColorSystem", [GRAPHICS]),
    # Gestures from pointer input, ink recognition and the text services' monitor take input;
    # UI Automation is the accessibility of the windows' elements, as oleacc's MSAA (COM).
    ("UI.InteractionContext", [INPUT]), ("UI.TabletPC", [INPUT]), ("UI.TextServices", [INPUT]),
    ("UI.Accessibility", [COM]), ("UI", [WINDOWS]), ("Media", [SOUND]), ("Devices", [DEVICES]),
    ("Globalization", [LOCALE]), ("Data", [DATABASE]),
    # ODBC and its bulk copy (odbcbcp), which the metadata files under Windows Search.
    ("System.Search", [DATABASE]),
]
from coverage import WRITTEN_PREFIX  # noqa: E402 (the header name a written function carries)


def namespace_areas(header):
    """The areas of a function written from the metadata, by its namespace."""
    ns = header[len(WRITTEN_PREFIX):]
    best = max((p for p, _ in NAMESPACE_AREAS if ns == p or ns.startswith(p + ".")), key=len, default=None)
    return dict(NAMESPACE_AREAS)[best] if best else [SYSTEM]


_compiled = [(scope, re.compile(rx), areas) for scope, rx, areas in RULES]
_not_in = [(scope, re.compile(rx), area) for scope, rx, area in NOT_IN]


def stem(name):
    """The family name without its A/W ending."""
    if len(name) > 1 and name[-1] in "AW" and name[-2].islower():
        return name[:-1]
    return name


def areas_for(c_name, header):
    """One to three areas for a function, by its C name and header."""
    s = stem(c_name)
    if header == "wincon.h":
        return [CONSOLE]    # its cursor, window and text are the console's own
    barred = {area for scope, rx, area in _not_in if (not scope or header in scope) and rx.search(s)}
    found = []
    for scope, rx, areas in _compiled:
        if scope and header not in scope:
            continue
        if rx.search(s):
            for a in areas:
                if a not in found and a not in barred:
                    found.append(a)
        if len(found) >= 3:
            break
    if not found:
        if header.startswith(WRITTEN_PREFIX):
            fallback = namespace_areas(header)
        else:
            fallback = HEADER_AREAS.get(header, [SYSTEM])
        found = [a for a in fallback if a not in barred] or [SYSTEM]
    return found[:3]
