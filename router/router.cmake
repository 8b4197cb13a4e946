# What happens to a new code: quiet period, masked mode, the trust gate,
# clipboard, push, typer and the batched notice, with their texts. No widgets
# and no GUI: it acts through signals the application connects.
mirelo_library(mirelo_router
  SOURCES
    notifytext.h notifytext.cpp
    coderouter.h coderouter.cpp
    afteruse.h afteruse.cpp
  PUBLIC_LIBS Qt6::Core mirelo_core mirelo_mail
  LIBS mirelo_recognition)
