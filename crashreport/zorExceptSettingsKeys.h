#pragma once
// The keys that the settings interfaces read and write by name, by the kind
// they are read as. Each X(Key) becomes the reader Key() and, where the key is
// written, the writer SetKey(value).

// clang-format off

// Boolean keys, read and written.
#define ZOR_BOOL_KEYS(X)                                                                                   \
  X(AutoSave) X(AutoSaveIfNotSent) X(AutoSend) X(AutoSendBox) X(AutoClip) X(PauseThreads) X(PlWaitBox)     \
  X(AutoContinue) X(SendBtnVis) X(SaveBtnVis) X(PrintBtnVis) X(ShowBtnVis) X(ContinueBtnVis)               \
  X(RestartBtnVis) X(CloseBtnVis) X(AutoShowBugRep) X(UglyBtns) X(SendInBackgr) X(MailAsSmtpServer)        \
  X(MailAsSmtpClient) X(UploadViaHttp) X(MailViaMapi) X(MailViaMailto) X(AttachBugRep) X(AttachBugRepFile) \
  X(DelBugRepFile) X(ScrShotAppOnly) X(AppendBugReps) X(NoDupExcepts)           \
  X(NoDupFreezes) X(ListThreads) X(CpuRegs) X(StackDump) X(ShowDisAsm) X(HideUglyItems) X(ShowRelAddrs)    \
  X(ShowRelLines) X(FormatDisAsm)

// Unsigned 32-bit keys ("FocusedBtn" is written as a byte).
#define ZOR_DWORD_KEYS(X)                                                                                  \
  X(AutoRestart) X(AutoClose) X(AutoDelay) X(SmtpPort) X(HttpPort) X(BugRepFileSize) X(DupExceptDef)       \
  X(DupFreezeDef)

// Signed 32-bit keys.
#define ZOR_INT_KEYS(X) X(ScrShotDepth) X(LimitDisAsm)

// Text keys, read expanded and written as given.
#define ZOR_TEXT_KEYS(X)                                                                                   \
  X(SendAssis) X(SaveAssis) X(PrintAssis) X(MailAddr) X(SmtpServer) X(SmtpAccount) X(SmtpPassword)         \
  X(HttpServer) X(HttpAccount) X(HttpPassword) X(MailFrom) X(BugRepSendAs) X(ScrShotSendAs) X(BugRepFile)  \
  X(BugRepZip) X(ScrShotZip)                                                                               \
  X(TitleBar) X(ExceptMsg) X(FrozenMsg) X(SendBtnTxt) X(SaveBtnTxt) X(PrintBtnTxt) X(ShowBtnTxt)           \
  X(ContinueBtnTxt) X(RestartBtnTxt) X(CloseBtnTxt) X(OkBtnTxt) X(DetailsBtnTxt) X(PlWaitTitle)            \
  X(PlWaitText) X(MailSubj) X(MailBody) X(SendBoxTitle) X(PrepAttMsg) X(MxLookMsg) X(ConnMsg) X(AuthMsg)   \
  X(SendMailMsg) X(FieldMsg) X(SendAttMsg) X(SendFinalMsg) X(SendFailMsg)

// Module settings: read only.
#define ZOR_MODULE_BOOL_READ_KEYS(X) X(Enabled) X(NoSettings) X(CheckFreeze)
#define ZOR_MODULE_DWORD_READ_KEYS(X) X(FreezeTimeout)
// Module settings: the two filters and the general one, read and written.
#define ZOR_MODULE_BOOL_KEYS(X)                                                                            \
  X(F1NoBugRep) X(F2NoBugRep) X(GnNoBugRep) X(F1NoScrShot) X(F2NoScrShot) X(GnNoScrShot)                   \
  X(F1NoSuspend) X(F2NoSuspend) X(GnNoSuspend) X(F1NoHandlers) X(F2NoHandlers) X(GnNoHandlers)
#define ZOR_MODULE_DWORD_KEYS(X) X(F1ShowCfg) X(F2ShowCfg) X(GnShowCfg)
#define ZOR_MODULE_TEXT_KEYS(X) X(F1Classes) X(F2Classes) X(F1Assis) X(F2Assis) X(GnAssis)

// clang-format on
