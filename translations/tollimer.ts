<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>AboutDialog</name>
    <message>
        <location filename="../src/ui/aboutdialog.ui" line="6"/>
        <source>About Tollimer eBay Auction Sniper</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/aboutdialog.ui" line="30"/>
        <source>Tollimer eBay Auction Sniper</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/aboutdialog.ui" line="37"/>
        <source>Version 1.0.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/aboutdialog.ui" line="44"/>
        <source>Snipes your eBay auctions a few seconds before they end.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/aboutdialog.cpp" line="14"/>
        <source>Version %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BidEngine</name>
    <message>
        <location filename="../src/engine/bidengine.cpp" line="128"/>
        <source>Bid failed on item </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/engine/bidengine.cpp" line="218"/>
        <source>You signed out before the bid was placed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/engine/bidengine.cpp" line="290"/>
        <source>The auction had ended before the bid could be sent.</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BrowseReader</name>
    <message>
        <location filename="../src/helper/browsereader.cpp" line="122"/>
        <source>eBay refused the developer keys. Check the client id and secret in the preferences.
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/helper/browsereader.cpp" line="233"/>
        <source>eBay Daily Limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/helper/browsereader.cpp" line="234"/>
        <source>eBay&apos;s daily limit of calls for your developer keys is reached, so the watch list is not updated from eBay until eBay&apos;s next day begins at %1 (your time). Snipes are placed as usual.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ClockManager</name>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="243"/>
        <source>eBay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="245"/>
        <source>time server %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="247"/>
        <source>eBay&apos;s Date header (to the second)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="251"/>
        <source>this computer&apos;s clock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="256"/>
        <source>Clock: this computer&apos;s clock, retrying eBay and the time servers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="259"/>
        <source>Clock: %1; this computer&apos;s clock is right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="261"/>
        <source>Clock: %1; this computer is %2 s behind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/clock/clockmanager.cpp" line="262"/>
        <source>Clock: %1; this computer is %2 s ahead</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DbHelper</name>
    <message>
        <location filename="../src/helper/dbhelper.cpp" line="218"/>
        <source>Cannot open database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/helper/dbhelper.cpp" line="219"/>
        <source>Unable to establish a database connection. Please contact Tollimer support for help.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DeveloperKeysBox</name>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="12"/>
        <source>eBay developer keys</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="23"/>
        <source>Client ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="24"/>
        <source>Client secret</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="39"/>
        <source>Without keys, item data comes from eBay&apos;s older Shopping calls.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/developerkeysbox.cpp" line="45"/>
        <source>Item data comes from the Browse API: %1 of %2 calls left today.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EditGroupDialog</name>
    <message>
        <location filename="../src/ui/editgroupdialog.ui" line="6"/>
        <source>Group Details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.ui" line="17"/>
        <source>Group Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.ui" line="34"/>
        <source>Maximum Number of Winnings Before Bidding Stops</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.cpp" line="36"/>
        <source>Empty Group Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.cpp" line="36"/>
        <source>Please enter the group name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.cpp" line="46"/>
        <source>Duplicated Group Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/editgroupdialog.cpp" line="46"/>
        <source>A group with the same name already exists.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FailureBox</name>
    <message>
        <location filename="../src/helper/failurebox.cpp" line="63"/>
        <source>
(%1 requests failed this way.)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GroupComboBox</name>
    <message>
        <location filename="../src/ui/groupcombobox.cpp" line="11"/>
        <source>- None -</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GroupDialog</name>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="9"/>
        <source>Manage Bidding Groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="37"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="42"/>
        <source>Max Winnings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="52"/>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="59"/>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="66"/>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.ui" line="80"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="71"/>
        <location filename="../src/ui/groupdialog.cpp" line="75"/>
        <location filename="../src/ui/groupdialog.cpp" line="101"/>
        <source>Database Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="71"/>
        <source>Failed to add group.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="75"/>
        <source>Failed to retrieve added group.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="85"/>
        <source>Edit Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="85"/>
        <source>Select a group to edit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="101"/>
        <source>Failed to update group.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="113"/>
        <location filename="../src/ui/groupdialog.cpp" line="116"/>
        <source>Delete Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="113"/>
        <source>Select a group to delete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/groupdialog.cpp" line="116"/>
        <source>Are you sure you want to delete the selected group?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImportDialog</name>
    <message>
        <location filename="../src/ui/importdialog.ui" line="6"/>
        <source>Import Auctions from My eBay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.ui" line="15"/>
        <source>Import auctions that I am watching</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.ui" line="25"/>
        <source>Import auctions that I am bidding on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.ui" line="54"/>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.ui" line="64"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.cpp" line="70"/>
        <source>Not Signed In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/importdialog.cpp" line="71"/>
        <source>My eBay showed its sign-in page: you are not signed in to eBay UK, so nothing was imported. Choose Logout, sign in again and import once more.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LoginDialog</name>
    <message>
        <location filename="../src/ui/logindialog.ui" line="6"/>
        <source>Tollimer Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="37"/>
        <source>eBay User ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="54"/>
        <source>eBay Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="68"/>
        <source>eBay Site</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="78"/>
        <source>Remember my password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.ui" line="85"/>
        <source>Sign me in automatically</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="17"/>
        <source>Tollimer Login %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="98"/>
        <location filename="../src/ui/logindialog.cpp" line="103"/>
        <location filename="../src/ui/logindialog.cpp" line="126"/>
        <location filename="../src/ui/logindialog.cpp" line="131"/>
        <source>Login Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="98"/>
        <source>Please enter your Username.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="103"/>
        <source>Please enter your Password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="127"/>
        <source>eBay asked for more than the password (a captcha or a verification), so Tollimer could not sign you in here. Please sign in on the pages of the login wizard instead: it opens when Tollimer starts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/logindialog.cpp" line="131"/>
        <source>Wrong Username or Password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="17"/>
        <source>Database Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="74"/>
        <source>Failed to load country.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="86"/>
        <source>Failed to add user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="89"/>
        <source>Failed to retrieve added user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="91"/>
        <source>Failed to update user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/signinrecords.cpp" line="106"/>
        <source>Failed to save setting.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LoginHelper</name>
    <message>
        <location filename="../src/helper/loginhelper.cpp" line="190"/>
        <location filename="../src/helper/loginhelper.cpp" line="236"/>
        <source>Network Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/helper/loginhelper.cpp" line="190"/>
        <location filename="../src/helper/loginhelper.cpp" line="236"/>
        <source>Failed to sign in.
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LoginWizard</name>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="9"/>
        <location filename="../src/ui/loginwizard.ui" line="16"/>
        <source>Tollimer Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="43"/>
        <source>eBay User ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="60"/>
        <source>eBay Site</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="89"/>
        <source>Please login to eBay.  After you are done, click Next.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.ui" line="95"/>
        <source>Please login to eBay UK.  This is needed for sniping to work.  After you are done, click Finish.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.cpp" line="28"/>
        <source>Tollimer Login %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.cpp" line="84"/>
        <location filename="../src/ui/loginwizard.cpp" line="115"/>
        <source>Login Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.cpp" line="84"/>
        <source>Please enter your Username.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/loginwizard.cpp" line="116"/>
        <source>You are not signed in to eBay yet. Sign in on the page, then press Finish.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../src/ui/mainwindow.ui" line="14"/>
        <source>Tollimer eBay Auction Sniper</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="45"/>
        <source>Tollimer eBay Auction Sniper %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="135"/>
        <source>&amp;Logout...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="136"/>
        <source>Logout and login as a different user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="138"/>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="138"/>
        <location filename="../src/ui/mainwindow.cpp" line="517"/>
        <source>Exit Tollimer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="141"/>
        <source>&amp;Add item below...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="142"/>
        <source>Add the current item to watch list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="144"/>
        <source>&amp;Add entered item...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="145"/>
        <source>Add the entered item to watch list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="146"/>
        <source>&amp;Reload...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="147"/>
        <source>Reload the watch list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="149"/>
        <source>&amp;Delete...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="150"/>
        <source>Delete the selected items in watch list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="151"/>
        <source>&amp;Snipe...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="152"/>
        <source>Snipe the selected item.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="153"/>
        <source>&amp;Cancel Snipe...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="154"/>
        <source>Cancel the snipe on the selected item.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="155"/>
        <source>&amp;Group...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="156"/>
        <source>Manage bidding groups.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="157"/>
        <source>&amp;Import...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="158"/>
        <source>Import auctions from My eBay.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="159"/>
        <source>About &amp;Tollimer eBay Auction Sniper</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="160"/>
        <source>About Tollimer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="161"/>
        <source>Preferences...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="162"/>
        <source>Edit Tollimer preferences.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="163"/>
        <source>Check for update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="164"/>
        <source>Check new version for Tollimer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="166"/>
        <source>Restore Tollimer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="167"/>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="190"/>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="194"/>
        <source>&amp;Action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="201"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="207"/>
        <source>Browser ToolBar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="218"/>
        <source>Item Number: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="240"/>
        <source> Status </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="243"/>
        <location filename="../src/ui/mainwindow.cpp" line="307"/>
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="243"/>
        <source>Watching</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="243"/>
        <source>Bid Scheduled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="243"/>
        <source>High Bidder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="244"/>
        <source>Out Bidder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="244"/>
        <source>Won</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="244"/>
        <source>Didn&apos;t Win</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="251"/>
        <source> Group </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="495"/>
        <source>Tollimer is still running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="496"/>
        <source>Snipes are placed while Tollimer runs in the tray. Choose Exit in its menu to quit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="515"/>
        <source>1 snipe is scheduled; it is not placed while Tollimer is closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="516"/>
        <source>%1 snipes are scheduled; they are not placed while Tollimer is closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindow.cpp" line="384"/>
        <source>Next snipe: %1 in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="71"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="80"/>
        <source>Add Item Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="71"/>
        <source>Failed to get item, please go to an item listing page.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="80"/>
        <source>Please enter a valid eBay auction item number.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="92"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="105"/>
        <source>Duplicate Item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="92"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="105"/>
        <source>This item is already in your watch list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="130"/>
        <source>Non-Auction Item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="131"/>
        <source>Either item number is invalid or item is not Auction format.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="175"/>
        <source>Delete Items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="175"/>
        <source>Are you sure you want to delete the selected item(s)?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="187"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="192"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="197"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="206"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="212"/>
        <source>Edit Snipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="187"/>
        <source>Select an item to snipe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="192"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="212"/>
        <source>Auction has ended for this item.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="197"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="206"/>
        <source>The bid on this item is being placed now.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="227"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="231"/>
        <location filename="../src/ui/mainwindowactions.cpp" line="234"/>
        <source>Cancel Snipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="227"/>
        <source>Select an item to cancel snipe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="231"/>
        <source>Select an item with scheduled snipe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="235"/>
        <source>Are you sure you want to cancel your snipe on the selected item(s)?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="293"/>
        <source>Snipe Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/mainwindowactions.cpp" line="294"/>
        <source>Item:	%1
Bid:	Failed
Error:	%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Notifications</name>
    <message>
        <location filename="../src/engine/notifications.cpp" line="81"/>
        <source>Winning bid on item </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/engine/notifications.cpp" line="82"/>
        <source>Congratulations on winning this item!<byte value="xd"/>
Item Name: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/engine/notifications.cpp" line="91"/>
        <source>Lost bid on item </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/engine/notifications.cpp" line="92"/>
        <source>You didn&apos;t win this item!<byte value="xd"/>
Item Name: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreferencesDialog</name>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="6"/>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="15"/>
        <source>Timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="23"/>
        <source>Refresh list every</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="37"/>
        <source>minutes (0 = no refresh)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="53"/>
        <source>Default Snipe Lead Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="60"/>
        <source>Auto-detect by Tollimer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="83"/>
        <source>sectonds before auction ends</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="102"/>
        <source>Display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="108"/>
        <source>Close button minimizes Tollimer to system tray and run it in the background</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="118"/>
        <source>Notification</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="124"/>
        <source>Send notification when</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="131"/>
        <source>My scheduled bid is lower than the current bid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="138"/>
        <source>I have won an auction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="145"/>
        <source>I have lost an auction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.ui" line="152"/>
        <source>My Email</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="92"/>
        <source>Invalid lead time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="93"/>
        <source>Pleae enter a lead time that is between 1 and 60 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="98"/>
        <source>Invalid refresh interval</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="98"/>
        <source>Pleae enter a valid refresh interval.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="104"/>
        <source>Invalid email</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="104"/>
        <source>Pleae enter a valid email address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="131"/>
        <source>Database Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/preferencesdialog.cpp" line="131"/>
        <source>Failed to update user.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SleepInhibitor</name>
    <message>
        <location filename="../src/engine/sleepinhibitor.cpp" line="39"/>
        <source>Sleep held off: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SnipeDialog</name>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="5"/>
        <source>Edit Snipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="7"/>
        <source>Item Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="11"/>
        <source>Item Number:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="13"/>
        <source>Current Bid:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="15"/>
        <source>Minimum Bid:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="17"/>
        <source>Shipping:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="19"/>
        <source>Bids:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="21"/>
        <source>Time Left:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="25"/>
        <source>Your bid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="27"/>
        <source>USD (XXXXXX or more)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="28"/>
        <source>Lead Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="29"/>
        <source>Auto-detect by Tollimer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="32"/>
        <source>Seconds (1-60)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.ui" line="33"/>
        <source>Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="71"/>
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="76"/>
        <source>%1 (%2 or more)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="79"/>
        <source>- None -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="127"/>
        <source>Bid Too Low</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="128"/>
        <source>Pleae enter a bid that is %1 or more.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="133"/>
        <source>Incorrect Lead Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/snipedialog.cpp" line="134"/>
        <source>Pleae enter a lead time that is between 1 and 60 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <location filename="../src/ui/updatedialog.ui" line="6"/>
        <source>Update Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/updatedialog.ui" line="15"/>
        <source>New update is available. Please go to &lt;a href=&quot;http://www.tollimer.com/&quot;&gt;www.tollimer.com&lt;/a&gt; to download the latest version.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VersionChecker</name>
    <message>
        <location filename="../src/app/versionchecker.cpp" line="74"/>
        <source>Update Check Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/versionchecker.cpp" line="75"/>
        <source>The latest version of Tollimer could not be read. Please try again later.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/versionchecker.cpp" line="80"/>
        <source>No Update Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/versionchecker.cpp" line="81"/>
        <source>You already have the latest version of Tollimer.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WatchListModel</name>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="44"/>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="46"/>
        <source>Item Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="48"/>
        <source>Item Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="50"/>
        <source>Time Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="52"/>
        <source>Current Bid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="54"/>
        <source>Shipping</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="56"/>
        <source>My Bid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="58"/>
        <source>Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="60"/>
        <source>Seller</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="73"/>
        <source>No longer listed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="267"/>
        <location filename="../src/ui/watchlistmodel.cpp" line="271"/>
        <source>%1 %2 at %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="272"/>
        <source>Placed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistmodel.cpp" line="272"/>
        <source>Failed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WatchListRefresh</name>
    <message>
        <location filename="../src/ui/watchlistrefresh.cpp" line="78"/>
        <source>eBay no longer lists this item.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistrefresh.cpp" line="92"/>
        <source>Low scheduled bid on item </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlistrefresh.cpp" line="93"/>
        <source>Your scheduled bid is lower than the current bid! You need to raise your bid.<byte value="xd"/>
Item Name: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WatchListTexts</name>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="25"/>
        <source>Bid Scheduled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="27"/>
        <source>Bidding</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="30"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="34"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="37"/>
        <source>Didn&apos;t Win</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="30"/>
        <source>Watching</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="33"/>
        <source>High Bidder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="34"/>
        <source>Won</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="37"/>
        <source>Out Bidder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="38"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="59"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="79"/>
        <location filename="../src/ui/watchlisttexts.cpp" line="84"/>
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="61"/>
        <source>Ended</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="86"/>
        <source>%1 bids</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="97"/>
        <source>Scheduled: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="99"/>
        <source>Warning: Bid too low</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="103"/>
        <source>Bidding: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="106"/>
        <source>Placed: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="109"/>
        <source>Failed: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="111"/>
        <source>View error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="114"/>
        <source>auto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="121"/>
        <source>Unkown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="123"/>
        <source>FREE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="133"/>
        <source>The last bid request left %1s after the end.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/ui/watchlisttexts.cpp" line="134"/>
        <source>The last bid request left %1s before the end.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
