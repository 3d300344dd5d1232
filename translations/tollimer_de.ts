<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <location filename="../src/ui/aboutdialog.ui" line="6"/>
        <source>About Tollimer eBay Auction Sniper</source>
        <translation>Über Tollimer eBay Auction Sniper</translation>
    </message>
    <message>
        <location filename="../src/ui/aboutdialog.ui" line="30"/>
        <source>Tollimer eBay Auction Sniper</source>
        <translation>Tollimer eBay Auction Sniper</translation>
    </message>
    <message>
        <location filename="../src/ui/aboutdialog.ui" line="37"/>
        <source>Version 1.0.0</source>
        <translation>Version 1.0.0</translation>
    </message>
    <message>
        <location filename="../src/ui/aboutdialog.ui" line="44"/>
        <source>Snipes your eBay auctions a few seconds before they end.</source>
        <translation>Bietet auf Ihre eBay-Auktionen wenige Sekunden vor dem Ende.</translation>
    </message>
    <message>
        <location filename="../src/ui/aboutdialog.cpp" line="14"/>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>BidEngine</name>
    <message>
        <location filename="../src/engine/bidengine.cpp" line="128"/>
        <source>Bid failed on item </source>
        <translation>Gebot fehlgeschlagen für Artikel </translation>
    </message>
    <message>
        <location filename="../src/engine/bidengine.cpp" line="218"/>
        <source>You signed out before the bid was placed.</source>
        <translation>Sie haben sich abgemeldet, bevor das Gebot abgegeben wurde.</translation>
    </message>
    <message>
        <location filename="../src/engine/bidengine.cpp" line="290"/>
        <source>The auction had ended before the bid could be sent.</source>
        <translation>Die Auktion war beendet, bevor das Gebot gesendet werden konnte.</translation>
    </message>
</context>
<context>
    <name>BidThread</name>
    <message>
        <location filename="../src/engine/notifications.cpp" line="24"/>
        <source>Hi %1,<byte value="xd"/>
<byte value="xd"/>
Congratulations on winning this item!<byte value="xd"/>
<byte value="xd"/>
Item Number:	%2<byte value="xd"/>
Item Name:	%3<byte value="xd"/>
Price:	%4<byte value="xd"/>
<byte value="xd"/>
Regards,<byte value="xd"/>
www.tollimer.com</source>
        <translation>Hallo %1,</translation>
    </message>
    <message>
        <location filename="../src/engine/notifications.cpp" line="33"/>
        <source>Hi %1,<byte value="xd"/>
<byte value="xd"/>
Sorry you didn&apos;t win this item!<byte value="xd"/>
<byte value="xd"/>
Item Number:	%2<byte value="xd"/>
Item Name:	%3<byte value="xd"/>
Winning Price:	%4<byte value="xd"/>
Your Bid:	%5<byte value="xd"/>
<byte value="xd"/>
Regards,<byte value="xd"/>
www.tollimer.com</source>
        <translation>Hallo %1,</translation>
    </message>
</context>
<context>
    <name>BrowseReader</name>
    <message>
        <location filename="../src/helper/browsereader.cpp" line="122"/>
        <source>eBay refused the developer keys. Check the client id and secret in the preferences.
%1</source>
        <translation>eBay hat die Entwicklerschlüssel abgelehnt. Prüfen Sie Client-ID und Client-Secret in den Einstellungen.
%1</translation>
    </message>
    <message>
        <location filename="../src/helper/browsereader.cpp" line="233"/>
        <source>eBay Daily Limit</source>
        <translation>eBay-Tageslimit</translation>
    </message>
    <message>
        <location filename="../src/helper/browsereader.cpp" line="234"/>
        <source>eBay&apos;s daily limit of calls for your developer keys is reached, so the watch list is not updated from eBay until eBay&apos;s next day begins at %1 (your time). Snipes are placed as usual.</source>
        <translation>Das Tageslimit der Abrufe für Ihre Entwicklerschlüssel bei eBay ist erreicht. Die Beobachtungsliste wird deshalb erst wieder von eBay aktualisiert, wenn eBays nächster Tag um %1 (Ihre Zeit) beginnt. Snipes werden wie gewohnt abgegeben.</translation>
    </message>
</context>
<context>
    <name>ClockManager</name>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="243"/>
        <source>eBay</source>
        <translation>eBay</translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="245"/>
        <source>time server %1</source>
        <translation>Zeitserver %1</translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="247"/>
        <source>eBay&apos;s Date header (to the second)</source>
        <translation>Date-Header von eBay (sekundengenau)</translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="251"/>
        <source>this computer&apos;s clock</source>
        <translation>Uhr dieses Computers</translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="256"/>
        <source>Clock: this computer&apos;s clock, retrying eBay and the time servers</source>
        <translation>Uhr: Uhr dieses Computers, eBay und die Zeitserver werden erneut versucht</translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="259"/>
        <source>Clock: %1; this computer&apos;s clock is right</source>
        <translation>Uhr: %1; die Uhr dieses Computers geht richtig</translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="261"/>
        <source>Clock: %1; this computer is %2 s behind</source>
        <translation>Uhr: %1; dieser Computer geht %2 s nach</translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="262"/>
        <source>Clock: %1; this computer is %2 s ahead</source>
        <translation>Uhr: %1; dieser Computer geht %2 s vor</translation>
    </message>
</context>
<context>
    <name>DbHelper</name>
    <message>
        <location filename="../src/helper/dbhelper.cpp" line="218"/>
        <source>Cannot open database</source>
        <translation>Datenbank kann nicht geöffnet werden</translation>
    </message>
    <message>
        <location filename="../src/helper/dbhelper.cpp" line="219"/>
        <source>Unable to establish a database connection. Please contact Tollimer support for help.</source>
        <translation>Es konnte keine Verbindung zur Datenbank hergestellt werden. Bitte wenden Sie sich an den Tollimer-Support.</translation>
    </message>
</context>
<context>
    <name>DeveloperKeysBox</name>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="12"/>
        <source>eBay developer keys</source>
        <translation>eBay-Entwicklerschlüssel</translation>
    </message>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="23"/>
        <source>Client ID</source>
        <translation>Client-ID</translation>
    </message>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="24"/>
        <source>Client secret</source>
        <translation>Client-Secret</translation>
    </message>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="39"/>
        <source>Without keys, item data comes from eBay&apos;s older Shopping calls.</source>
        <translation>Ohne Schlüssel kommen die Artikeldaten aus eBays älteren Shopping-Abrufen.</translation>
    </message>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="45"/>
        <source>Item data comes from the Browse API: %1 of %2 calls left today.</source>
        <translation>Die Artikeldaten kommen aus der Browse-API: heute noch %1 von %2 Abrufen.</translation>
    </message>
</context>
<context>
    <name>EditGroupDialog</name>
    <message>
        <location filename="../src/ui/editgroupdialog.ui" line="6"/>
        <source>Group Details</source>
        <translation>Gruppendetails</translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.ui" line="17"/>
        <source>Group Name</source>
        <translation>Gruppenname</translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.ui" line="34"/>
        <source>Maximum Number of Winnings Before Bidding Stops</source>
        <translation>Höchstzahl gewonnener Auktionen, bevor nicht mehr geboten wird</translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.cpp" line="36"/>
        <source>Empty Group Name</source>
        <translation>Leerer Gruppenname</translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.cpp" line="36"/>
        <source>Please enter the group name.</source>
        <translation>Bitte geben Sie den Gruppennamen ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.cpp" line="46"/>
        <source>Duplicated Group Name</source>
        <translation>Doppelter Gruppenname</translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.cpp" line="46"/>
        <source>A group with the same name already exists.</source>
        <translation>Eine Gruppe mit diesem Namen gibt es bereits.</translation>
    </message>
</context>
<context>
    <name>FailureBox</name>
    <message>
        <location filename="../src/helper/failurebox.cpp" line="63"/>
        <source>
(%1 requests failed this way.)</source>
        <translation>
(%1 Anfragen sind auf diese Weise fehlgeschlagen.)</translation>
    </message>
</context>
<context>
    <name>GroupComboBox</name>
    <message>
        <location filename="../src/ui/groupcombobox.cpp" line="11"/>
        <source>- None -</source>
        <translation>- Keine -</translation>
    </message>
</context>
<context>
    <name>GroupDialog</name>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="9"/>
        <source>Manage Bidding Groups</source>
        <translation>Bietgruppen verwalten</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="37"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="42"/>
        <source>Max Winnings</source>
        <translation>Max. Gewinne</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="52"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="59"/>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="66"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="80"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="71"/>
        <location filename="../src/ui/groupdialog.cpp" line="75"/>
        <location filename="../src/ui/groupdialog.cpp" line="101"/>
        <source>Database Error</source>
        <translation>Datenbankfehler</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="71"/>
        <source>Failed to add group.</source>
        <translation>Die Gruppe konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="75"/>
        <source>Failed to retrieve added group.</source>
        <translation>Die angelegte Gruppe konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="85"/>
        <source>Edit Group</source>
        <translation>Gruppe bearbeiten</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="85"/>
        <source>Select a group to edit.</source>
        <translation>Wählen Sie eine Gruppe zum Bearbeiten aus.</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="101"/>
        <source>Failed to update group.</source>
        <translation>Die Gruppe konnte nicht geändert werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="113"/>
        <location filename="../src/ui/groupdialog.cpp" line="116"/>
        <source>Delete Group</source>
        <translation>Gruppe löschen</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="113"/>
        <source>Select a group to delete.</source>
        <translation>Wählen Sie eine Gruppe zum Löschen aus.</translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="116"/>
        <source>Are you sure you want to delete the selected group?</source>
        <translation>Möchten Sie die ausgewählte Gruppe wirklich löschen?</translation>
    </message>
</context>
<context>
    <name>ImportDialog</name>
    <message>
        <location filename="../src/ui/importdialog.ui" line="6"/>
        <source>Import Auctions from My eBay</source>
        <translation>Auktionen aus „Mein eBay“ importieren</translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.ui" line="15"/>
        <source>Import auctions that I am watching</source>
        <translation>Auktionen importieren, die ich beobachte</translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.ui" line="25"/>
        <source>Import auctions that I am bidding on</source>
        <translation>Auktionen importieren, auf die ich biete</translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.ui" line="54"/>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.ui" line="64"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.cpp" line="70"/>
        <source>Not Signed In</source>
        <translation>Nicht angemeldet</translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.cpp" line="71"/>
        <source>My eBay showed its sign-in page: you are not signed in to eBay UK, so nothing was imported. Choose Logout, sign in again and import once more.</source>
        <translation>„Mein eBay“ hat seine Anmeldeseite gezeigt: Sie sind bei eBay UK nicht angemeldet, daher wurde nichts importiert. Wählen Sie „Abmelden“, melden Sie sich erneut an und importieren Sie noch einmal.</translation>
    </message>
</context>
<context>
    <name>LoginDialog</name>
    <message>
        <location filename="../src/ui/logindialog.ui" line="6"/>
        <source>Tollimer Login</source>
        <translation>Tollimer-Anmeldung</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="37"/>
        <source>eBay User ID</source>
        <translation>eBay-Mitgliedsname</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="54"/>
        <source>eBay Password</source>
        <translation>eBay-Passwort</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="68"/>
        <source>eBay Site</source>
        <translation>eBay-Website</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="78"/>
        <source>Remember my password</source>
        <translation>Passwort speichern</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="85"/>
        <source>Sign me in automatically</source>
        <translation>Automatisch anmelden</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="17"/>
        <source>Tollimer Login %1</source>
        <translation>Tollimer-Anmeldung %1</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="98"/>
        <location filename="../src/ui/logindialog.cpp" line="103"/>
        <location filename="../src/ui/logindialog.cpp" line="126"/>
        <location filename="../src/ui/logindialog.cpp" line="131"/>
        <source>Login Error</source>
        <translation>Anmeldefehler</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="98"/>
        <source>Please enter your Username.</source>
        <translation>Bitte geben Sie Ihren Mitgliedsnamen ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="103"/>
        <source>Please enter your Password.</source>
        <translation>Bitte geben Sie Ihr Passwort ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="127"/>
        <source>eBay asked for more than the password (a captcha or a verification), so Tollimer could not sign you in here. Please sign in on the pages of the login wizard instead: it opens when Tollimer starts.</source>
        <translation>eBay hat mehr als das Passwort verlangt (ein Captcha oder eine Bestätigung), daher konnte Tollimer Sie hier nicht anmelden. Bitte melden Sie sich stattdessen auf den Seiten des Anmeldeassistenten an, der beim Start von Tollimer erscheint.</translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="131"/>
        <source>Wrong Username or Password.</source>
        <translation>Falscher Mitgliedsname oder falsches Passwort.</translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="17"/>
        <source>Database Error</source>
        <translation>Datenbankfehler</translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="74"/>
        <source>Failed to load country.</source>
        <translation>Das Land konnte nicht geladen werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="86"/>
        <source>Failed to add user.</source>
        <translation>Das Mitglied konnte nicht hinzugefügt werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="89"/>
        <source>Failed to retrieve added user.</source>
        <translation>Das hinzugefügte Mitglied konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="91"/>
        <source>Failed to update user.</source>
        <translation>Das Mitglied konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="106"/>
        <source>Failed to save setting.</source>
        <translation>Die Einstellung konnte nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>LoginHelper</name>
    <message>
        <location filename="../src/helper/loginhelper.cpp" line="190"/>
        <location filename="../src/helper/loginhelper.cpp" line="236"/>
        <source>Network Error</source>
        <translation>Netzwerkfehler</translation>
    </message>
    <message>
        <location filename="../src/helper/loginhelper.cpp" line="190"/>
        <location filename="../src/helper/loginhelper.cpp" line="236"/>
        <source>Failed to sign in.
%1</source>
        <translation>Die Anmeldung ist fehlgeschlagen.
%1</translation>
    </message>
</context>
<context>
    <name>LoginWizard</name>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="9"/>
        <location filename="../src/ui/loginwizard.ui" line="16"/>
        <source>Tollimer Login</source>
        <translation>Tollimer-Anmeldung</translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="43"/>
        <source>eBay User ID</source>
        <translation>eBay-Mitgliedsname</translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="60"/>
        <source>eBay Site</source>
        <translation>eBay-Website</translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="89"/>
        <source>Please login to eBay.  After you are done, click Next.</source>
        <translation>Bitte melden Sie sich bei eBay an. Klicken Sie danach auf „Weiter“.</translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="95"/>
        <source>Please login to eBay UK.  This is needed for sniping to work.  After you are done, click Finish.</source>
        <translation>Bitte melden Sie sich bei eBay UK an. Das ist nötig, damit das Sniping funktioniert. Klicken Sie danach auf „Abschließen“.</translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.cpp" line="28"/>
        <source>Tollimer Login %1</source>
        <translation>Tollimer-Anmeldung %1</translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.cpp" line="84"/>
        <location filename="../src/ui/loginwizard.cpp" line="115"/>
        <source>Login Error</source>
        <translation>Anmeldefehler</translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.cpp" line="84"/>
        <source>Please enter your Username.</source>
        <translation>Bitte geben Sie Ihren Mitgliedsnamen ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.cpp" line="116"/>
        <source>You are not signed in to eBay yet. Sign in on the page, then press Finish.</source>
        <translation>Sie sind noch nicht bei eBay angemeldet. Melden Sie sich auf der Seite an und klicken Sie dann auf „Abschließen“.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../src/ui/mainwindow.ui" line="14"/>
        <source>Tollimer eBay Auction Sniper</source>
        <translation>Tollimer eBay Auction Sniper</translation>
    </message>
    <message>
        <location filename="../src/engine/notifications.cpp" line="43"/>
        <source>Hi %1,<byte value="xd"/>
<byte value="xd"/>
Your scheduled bid is lower than the current bid! You need to raise your bid if you want to win the item.<byte value="xd"/>
<byte value="xd"/>
Item Number:	%2<byte value="xd"/>
Item Name:	%3<byte value="xd"/>
Next Bid:	%4<byte value="xd"/>
Your Bid:	%5<byte value="xd"/>
<byte value="xd"/>
Regards,<byte value="xd"/>
www.tollimer.com</source>
        <translation>Hallo %1,</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="45"/>
        <source>Tollimer eBay Auction Sniper %1</source>
        <translation>Tollimer eBay Auction Sniper %1</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="135"/>
        <source>&amp;Logout...</source>
        <translation>&amp;Abmelden...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="136"/>
        <source>Logout and login as a different user.</source>
        <translation>Abmelden und als anderes Mitglied anmelden.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="138"/>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="138"/>
        <location filename="../src/ui/mainwindow.cpp" line="517"/>
        <source>Exit Tollimer</source>
        <translation>Tollimer beenden</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="141"/>
        <source>&amp;Add item below...</source>
        <translation>Artikel unten &amp;hinzufügen...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="142"/>
        <source>Add the current item to watch list</source>
        <translation>Den angezeigten Artikel zur Beobachtungsliste hinzufügen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="144"/>
        <source>&amp;Add entered item...</source>
        <translation>Eingegebenen Artikel hin&amp;zufügen...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="145"/>
        <source>Add the entered item to watch list</source>
        <translation>Den eingegebenen Artikel zur Beobachtungsliste hinzufügen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="146"/>
        <source>&amp;Reload...</source>
        <translation>&amp;Aktualisieren...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="147"/>
        <source>Reload the watch list</source>
        <translation>Die Beobachtungsliste aktualisieren</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="149"/>
        <source>&amp;Delete...</source>
        <translation>&amp;Löschen...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="150"/>
        <source>Delete the selected items in watch list</source>
        <translation>Die ausgewählten Artikel aus der Beobachtungsliste löschen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="151"/>
        <source>&amp;Snipe...</source>
        <translation>&amp;Snipe...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="152"/>
        <source>Snipe the selected item.</source>
        <translation>Einen Snipe für den ausgewählten Artikel einrichten.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="153"/>
        <source>&amp;Cancel Snipe...</source>
        <translation>Snipe a&amp;bbrechen...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="154"/>
        <source>Cancel the snipe on the selected item.</source>
        <translation>Den Snipe für den ausgewählten Artikel abbrechen.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="155"/>
        <source>&amp;Group...</source>
        <translation>&amp;Gruppen...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="156"/>
        <source>Manage bidding groups.</source>
        <translation>Bietgruppen verwalten.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="157"/>
        <source>&amp;Import...</source>
        <translation>&amp;Importieren...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="158"/>
        <source>Import auctions from My eBay.</source>
        <translation>Auktionen aus „Mein eBay“ importieren.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="159"/>
        <source>About &amp;Tollimer eBay Auction Sniper</source>
        <translation>Über &amp;Tollimer eBay Auction Sniper</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="160"/>
        <source>About Tollimer.</source>
        <translation>Über Tollimer.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="161"/>
        <source>Preferences...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="162"/>
        <source>Edit Tollimer preferences.</source>
        <translation>Die Einstellungen von Tollimer bearbeiten.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="163"/>
        <source>Check for update</source>
        <translation>Nach Aktualisierung suchen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="164"/>
        <source>Check new version for Tollimer.</source>
        <translation>Nach einer neuen Version von Tollimer suchen.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="166"/>
        <source>Restore Tollimer</source>
        <translation>Tollimer wiederherstellen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="167"/>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="190"/>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="194"/>
        <source>&amp;Action</source>
        <translation>&amp;Aktion</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="201"/>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="207"/>
        <source>Browser ToolBar</source>
        <translation>Browser-Werkzeugleiste</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="218"/>
        <source>Item Number: </source>
        <translation>Artikelnummer: </translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="240"/>
        <source> Status </source>
        <translation> Status </translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="243"/>
        <location filename="../src/ui/mainwindow.cpp" line="307"/>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="243"/>
        <source>Watching</source>
        <translation>Beobachtet</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="243"/>
        <source>Bid Scheduled</source>
        <translation>Gebot geplant</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="243"/>
        <source>High Bidder</source>
        <translation>Höchstbietender</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="244"/>
        <source>Out Bidder</source>
        <translation>Überboten</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="244"/>
        <source>Won</source>
        <translation>Gewonnen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="244"/>
        <source>Didn&apos;t Win</source>
        <translation>Nicht gewonnen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="251"/>
        <source> Group </source>
        <translation> Gruppe </translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="384"/>
        <source>Next snipe: %1 in %2</source>
        <translation>Nächster Snipe: %1 in %2</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="71"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="80"/>
        <source>Add Item Error</source>
        <translation>Fehler beim Hinzufügen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="71"/>
        <source>Failed to get item, please go to an item listing page.</source>
        <translation>Der Artikel konnte nicht gelesen werden. Bitte öffnen Sie die Seite eines Artikels.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="80"/>
        <source>Please enter a valid eBay auction item number.</source>
        <translation>Bitte geben Sie eine gültige eBay-Artikelnummer einer Auktion ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="92"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="105"/>
        <source>Duplicate Item</source>
        <translation>Artikel bereits vorhanden</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="92"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="105"/>
        <source>This item is already in your watch list</source>
        <translation>Dieser Artikel ist bereits in Ihrer Beobachtungsliste</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="130"/>
        <source>Non-Auction Item</source>
        <translation>Keine Auktion</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="131"/>
        <source>Either item number is invalid or item is not Auction format.</source>
        <translation>Entweder ist die Artikelnummer ungültig oder der Artikel ist keine Auktion.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="175"/>
        <source>Delete Items</source>
        <translation>Artikel löschen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="175"/>
        <source>Are you sure you want to delete the selected item(s)?</source>
        <translation>Möchten Sie die ausgewählten Artikel wirklich löschen?</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="187"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="192"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="197"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="206"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="212"/>
        <source>Edit Snipe</source>
        <translation>Snipe bearbeiten</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="187"/>
        <source>Select an item to snipe.</source>
        <translation>Wählen Sie einen Artikel für den Snipe aus.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="192"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="212"/>
        <source>Auction has ended for this item.</source>
        <translation>Die Auktion dieses Artikels ist beendet.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="197"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="206"/>
        <source>The bid on this item is being placed now.</source>
        <translation>Das Gebot auf diesen Artikel wird gerade abgegeben.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="227"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="231"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="234"/>
        <source>Cancel Snipe</source>
        <translation>Snipe abbrechen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="227"/>
        <source>Select an item to cancel snipe.</source>
        <translation>Wählen Sie einen Artikel aus, dessen Snipe abgebrochen werden soll.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="231"/>
        <source>Select an item with scheduled snipe.</source>
        <translation>Wählen Sie einen Artikel mit geplantem Snipe aus.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="235"/>
        <source>Are you sure you want to cancel your snipe on the selected item(s)?</source>
        <translation>Möchten Sie den Snipe für die ausgewählten Artikel wirklich abbrechen?</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="293"/>
        <source>Snipe Failed</source>
        <translation>Snipe fehlgeschlagen</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="294"/>
        <source>Item:	%1
Bid:	Failed
Error:	%2</source>
        <translation>Artikel:	%1
Gebot:	Fehlgeschlagen
Fehler:	%2</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="495"/>
        <source>Tollimer is still running</source>
        <translation>Tollimer läuft weiter</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="496"/>
        <source>Snipes are placed while Tollimer runs in the tray. Choose Exit in its menu to quit.</source>
        <translation>Snipes werden abgegeben, solange Tollimer im Infobereich läuft. Zum Beenden dort im Menü Beenden wählen.</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="515"/>
        <source>1 snipe is scheduled; it is not placed while Tollimer is closed</source>
        <translation>1 Snipe ist geplant; er wird nicht abgegeben, solange Tollimer geschlossen ist</translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="516"/>
        <source>%1 snipes are scheduled; they are not placed while Tollimer is closed</source>
        <translation>%1 Snipes sind geplant; sie werden nicht abgegeben, solange Tollimer geschlossen ist</translation>
    </message>
</context>
<context>
    <name>Notifications</name>
    <message>
        <location filename="../src/engine/notifications.cpp" line="81"/>
        <source>Winning bid on item </source>
        <translation>Höchstgebot gewonnen auf Artikel </translation>
    </message>
    <message>
        <location filename="../src/engine/notifications.cpp" line="82"/>
        <source>Congratulations on winning this item!<byte value="xd"/>
Item Name: </source>
        <translation>Herzlichen Glückwunsch, Sie haben diesen Artikel gewonnen!</translation>
    </message>
    <message>
        <location filename="../src/engine/notifications.cpp" line="91"/>
        <source>Lost bid on item </source>
        <translation>Nicht gewonnen: Artikel </translation>
    </message>
    <message>
        <location filename="../src/engine/notifications.cpp" line="92"/>
        <source>You didn&apos;t win this item!<byte value="xd"/>
Item Name: </source>
        <translation>Sie haben diesen Artikel nicht gewonnen!</translation>
    </message>
</context>
<context>
    <name>PreferencesDialog</name>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="6"/>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="15"/>
        <source>Timer</source>
        <translation>Zeitsteuerung</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="23"/>
        <source>Refresh list every</source>
        <translation>Liste aktualisieren alle</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="37"/>
        <source>minutes (0 = no refresh)</source>
        <translation>Minuten (0 = nie)</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="53"/>
        <source>Default Snipe Lead Time</source>
        <translation>Standard-Vorlaufzeit für Snipes</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="60"/>
        <source>Auto-detect by Tollimer</source>
        <translation>Von Tollimer ermitteln lassen</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="83"/>
        <source>sectonds before auction ends</source>
        <translation>Sekunden vor Auktionsende</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="102"/>
        <source>Display</source>
        <translation>Anzeige</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="108"/>
        <source>Close button minimizes Tollimer to system tray and run it in the background</source>
        <translation>Schließen-Schaltfläche minimiert Tollimer in den Infobereich und lässt es im Hintergrund weiterlaufen</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="118"/>
        <source>Notification</source>
        <translation>Benachrichtigung</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="124"/>
        <source>Send notification when</source>
        <translation>Benachrichtigen, wenn</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="131"/>
        <source>My scheduled bid is lower than the current bid</source>
        <translation>mein geplantes Gebot unter dem aktuellen Gebot liegt</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="138"/>
        <source>I have won an auction</source>
        <translation>ich eine Auktion gewonnen habe</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="145"/>
        <source>I have lost an auction</source>
        <translation>ich eine Auktion verloren habe</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="152"/>
        <source>My Email</source>
        <translation>Meine E-Mail-Adresse</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="92"/>
        <source>Invalid lead time</source>
        <translation>Ungültige Vorlaufzeit</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="93"/>
        <source>Pleae enter a lead time that is between 1 and 60 seconds.</source>
        <translation>Bitte geben Sie eine Vorlaufzeit zwischen 1 und 60 Sekunden ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="98"/>
        <source>Invalid refresh interval</source>
        <translation>Ungültiges Aktualisierungsintervall</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="98"/>
        <source>Pleae enter a valid refresh interval.</source>
        <translation>Bitte geben Sie ein gültiges Aktualisierungsintervall ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="104"/>
        <source>Invalid email</source>
        <translation>Ungültige E-Mail-Adresse</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="104"/>
        <source>Pleae enter a valid email address.</source>
        <translation>Bitte geben Sie eine gültige E-Mail-Adresse ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="131"/>
        <source>Database Error</source>
        <translation>Datenbankfehler</translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="131"/>
        <source>Failed to update user.</source>
        <translation>Das Mitglied konnte nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>SleepInhibitor</name>
    <message>
        <location filename="../src/engine/sleepinhibitor.cpp" line="39"/>
        <source>Sleep held off: %1</source>
        <translation>Ruhezustand aufgehalten: %1</translation>
    </message>
</context>
<context>
    <name>SnipeDialog</name>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="5"/>
        <source>Edit Snipe</source>
        <translation>Snipe bearbeiten</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="7"/>
        <source>Item Information</source>
        <translation>Artikelinformationen</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="11"/>
        <source>Item Number:</source>
        <translation>Artikelnummer:</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="13"/>
        <source>Current Bid:</source>
        <translation>Aktuelles Gebot:</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="15"/>
        <source>Minimum Bid:</source>
        <translation>Mindestgebot:</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="17"/>
        <source>Shipping:</source>
        <translation>Versand:</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="19"/>
        <source>Bids:</source>
        <translation>Gebote:</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="21"/>
        <source>Time Left:</source>
        <translation>Restzeit:</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="25"/>
        <source>Your bid</source>
        <translation>Ihr Gebot</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="27"/>
        <source>USD (XXXXXX or more)</source>
        <translation>USD (XXXXXX oder mehr)</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="28"/>
        <source>Lead Time</source>
        <translation>Vorlaufzeit</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="29"/>
        <source>Auto-detect by Tollimer</source>
        <translation>Von Tollimer ermitteln lassen</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="32"/>
        <source>Seconds (1-60)</source>
        <translation>Sekunden (1-60)</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="33"/>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="71"/>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="76"/>
        <source>%1 (%2 or more)</source>
        <translation>%1 (%2 oder mehr)</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="79"/>
        <source>- None -</source>
        <translation>- Keine -</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="127"/>
        <source>Bid Too Low</source>
        <translation>Gebot zu niedrig</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="128"/>
        <source>Pleae enter a bid that is %1 or more.</source>
        <translation>Bitte geben Sie ein Gebot von %1 oder mehr ein.</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="133"/>
        <source>Incorrect Lead Time</source>
        <translation>Falsche Vorlaufzeit</translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="134"/>
        <source>Pleae enter a lead time that is between 1 and 60 seconds.</source>
        <translation>Bitte geben Sie eine Vorlaufzeit zwischen 1 und 60 Sekunden ein.</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <location filename="../src/ui/updatedialog.ui" line="6"/>
        <source>Update Available</source>
        <translation>Aktualisierung verfügbar</translation>
    </message>
    <message>
        <location filename="../src/ui/updatedialog.ui" line="15"/>
        <source>New update is available. Please go to &lt;a href=&quot;http://www.tollimer.com/&quot;&gt;www.tollimer.com&lt;/a&gt; to download the latest version.</source>
        <translation>Eine neue Version ist verfügbar. Die neueste Version finden Sie unter &lt;a href=&quot;http://www.tollimer.com/&quot;&gt;www.tollimer.com&lt;/a&gt;.</translation>
    </message>
</context>
<context>
    <name>VersionChecker</name>
    <message>
        <location filename="../src/app/versionchecker.cpp" line="74"/>
        <source>Update Check Failed</source>
        <translation>Suche nach Aktualisierung fehlgeschlagen</translation>
    </message>
    <message>
        <location filename="../src/app/versionchecker.cpp" line="75"/>
        <source>The latest version of Tollimer could not be read. Please try again later.</source>
        <translation>Die neueste Version von Tollimer konnte nicht gelesen werden. Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location filename="../src/app/versionchecker.cpp" line="80"/>
        <source>No Update Available</source>
        <translation>Keine Aktualisierung verfügbar</translation>
    </message>
    <message>
        <location filename="../src/app/versionchecker.cpp" line="81"/>
        <source>You already have the latest version of Tollimer.</source>
        <translation>Sie haben bereits die neueste Version von Tollimer.</translation>
    </message>
</context>
<context>
    <name>WatchListModel</name>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="44"/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="46"/>
        <source>Item Number</source>
        <translation>Artikelnummer</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="48"/>
        <source>Item Name</source>
        <translation>Artikelbezeichnung</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="50"/>
        <source>Time Left</source>
        <translation>Restzeit</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="52"/>
        <source>Current Bid</source>
        <translation>Aktuelles Gebot</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="54"/>
        <source>Shipping</source>
        <translation>Versand</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="56"/>
        <source>My Bid</source>
        <translation>Mein Gebot</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="58"/>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="60"/>
        <source>Seller</source>
        <translation>Verkäufer</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="73"/>
        <source>No longer listed</source>
        <translation>Nicht mehr angeboten</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="267"/>
        <location filename="../src/ui/watchlistmodel.cpp" line="271"/>
        <source>%1 %2 at %3</source>
        <translation>%1 %2 zu %3</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="272"/>
        <source>Placed</source>
        <translation>Abgegeben</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="272"/>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>WatchListRefresh</name>
    <message>
        <location filename="../src/ui/watchlistrefresh.cpp" line="78"/>
        <source>eBay no longer lists this item.</source>
        <translation>eBay bietet diesen Artikel nicht mehr an.</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistrefresh.cpp" line="92"/>
        <source>Low scheduled bid on item </source>
        <translation>Zu niedriges geplantes Gebot auf Artikel </translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistrefresh.cpp" line="93"/>
        <source>Your scheduled bid is lower than the current bid! You need to raise your bid.<byte value="xd"/>
Item Name: </source>
        <translation>Ihr geplantes Gebot liegt unter dem aktuellen Gebot! Bitte erhöhen Sie Ihr Gebot.<byte value="xd"/>
Artikelname: </translation>
    </message>
</context>
<context>
    <name>WatchListTexts</name>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="25"/>
        <source>Bid Scheduled</source>
        <translation>Gebot geplant</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="27"/>
        <source>Bidding</source>
        <translation>Bietet</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="30"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="34"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="37"/>
        <source>Didn&apos;t Win</source>
        <translation>Nicht gewonnen</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="30"/>
        <source>Watching</source>
        <translation>Beobachtet</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="33"/>
        <source>High Bidder</source>
        <translation>Höchstbietender</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="34"/>
        <source>Won</source>
        <translation>Gewonnen</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="37"/>
        <source>Out Bidder</source>
        <translation>Überboten</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="38"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="59"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="79"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="84"/>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="61"/>
        <source>Ended</source>
        <translation>Beendet</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="97"/>
        <source>Scheduled: </source>
        <translation>Geplant: </translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="99"/>
        <source>Warning: Bid too low</source>
        <translation>Warnung: Gebot zu niedrig</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="103"/>
        <source>Bidding: </source>
        <translation>Bietet: </translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="106"/>
        <source>Placed: </source>
        <translation>Abgegeben: </translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="109"/>
        <source>Failed: </source>
        <translation>Fehlgeschlagen: </translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="111"/>
        <source>View error</source>
        <translation>Fehler anzeigen</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="114"/>
        <source>auto</source>
        <translation>auto</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="121"/>
        <source>Unkown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="123"/>
        <source>FREE</source>
        <translation>KOSTENLOS</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="133"/>
        <source>The last bid request left %1s after the end.</source>
        <translation>Die letzte Gebotsanfrage ging %1 s nach dem Ende hinaus.</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="134"/>
        <source>The last bid request left %1s before the end.</source>
        <translation>Die letzte Gebotsanfrage ging %1 s vor dem Ende hinaus.</translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="86"/>
        <source>%1 bids</source>
        <translation>%1 Gebote</translation>
    </message>
</context>
</TS>
