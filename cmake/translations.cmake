# Shared by the scripts that read translations/hart_en.ts.

# How lupdate reads the sources, for the update target and the completeness check: the texts
# are marked Tr::tr (hart/tr.h), whose context HART_TR_CONTEXT names; no line numbers, so that
# the file changes only when a text does.
set(HART_LUPDATE_ARGS
  -tr-function-alias Q_DECLARE_TR_FUNCTIONS+=HART_TR_CONTEXT
  -locations none -extensions cpp,h -source-language zh_CN -target-language en
  hart ops cli ui)

# Takes the next <message> element off the front of the .ts text in `text_var`; `message_var`
# is left empty when there is none.
function(hart_next_message text_var message_var)
  set(${message_var} "" PARENT_SCOPE)
  string(FIND "${${text_var}}" "<message" at)
  if(at EQUAL -1)
    return()
  endif()
  string(SUBSTRING "${${text_var}}" ${at} -1 rest)
  string(FIND "${rest}" "</message>" end)
  string(SUBSTRING "${rest}" 0 ${end} message)
  math(EXPR end "${end} + 10")
  string(SUBSTRING "${rest}" ${end} -1 rest)
  set(${message_var} "${message}" PARENT_SCOPE)
  set(${text_var} "${rest}" PARENT_SCOPE)
endfunction()
