# Mail transport: IMAP test and poll sessions and SMTP replies on worker
# threads, with their pure protocol helpers. No widgets here; the reply
# dialog has a target of its own.
mirelo_library(mirelo_transport
  SOURCES
    imapparse.h imapparse.cpp
    imapactions.h imapactions.cpp
    imapfetch.h imapfetch.cpp
    smtpparse.h smtpparse.cpp
    sessionqueue.h sessionqueue.cpp
    sessionsocket.h sessionsocket.cpp
    imapworker.h imapworker.cpp
    imapclient.h imapclient.cpp
    idleparse.h idleparse.cpp
    idlesession.h idlesession.cpp
    idlewatcher.h idlewatcher.cpp
    roundscheduler.h roundscheduler.cpp
    tokenservice.h tokenservice.cpp
    smtpworker.h smtpworker.cpp
    smtpclient.h smtpclient.cpp
  PUBLIC_LIBS mirelo_mail mirelo_recognition Qt6::Core Qt6::Network
  LIBS mirelo_mailtext mirelo_oauth mirelo_rest)

mirelo_library(mirelo_transport_widgets
  SOURCES replydialog.h replydialog.cpp
  PUBLIC_LIBS mirelo_transport mirelo_mail Qt6::Widgets
  LIBS mirelo_desktop_widgets)
