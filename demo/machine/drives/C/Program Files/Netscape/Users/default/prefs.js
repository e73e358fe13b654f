// placeholder preferences
user_pref("mail.identity.username", "Jordan");
