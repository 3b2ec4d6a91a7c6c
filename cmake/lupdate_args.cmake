# How lupdate reads the sources, shared by the update target and the completeness check: the
# texts are marked Tr::tr (hart/tr.h), whose context HART_TR_CONTEXT names; no line numbers,
# so that the file changes only when a text does.
set(HART_LUPDATE_ARGS
  -tr-function-alias Q_DECLARE_TR_FUNCTIONS+=HART_TR_CONTEXT
  -locations none -extensions cpp,h -source-language zh_CN -target-language en
  hart ops cli ui)
