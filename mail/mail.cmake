# Mail data: records, the store with its persistence, categories and the
# provider catalogue. The store runs the code extractor on mails it takes in.
mirelo_library(mirelo_mail
  SOURCES
    mailrecords.h mailrecords.cpp
    mailactions.h mailactions.cpp
    categories.h categories.cpp
    providers.h providers.cpp
    storedrecords.h storedrecords.cpp
    accountsecrets.h accountsecrets.cpp
    mailstorage.h mailstorage.cpp
    mailstore.h mailstore.cpp
    codetrust.h codetrust.cpp
    silenced.h silenced.cpp
  PUBLIC_LIBS Qt6::Core mirelo_core mirelo_recognition mirelo_secrets)
