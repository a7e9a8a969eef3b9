<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>orvane::authorization::Authoriizewaitfrm</name>
    <message>
        <source>Waiting for Authorization</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting on Authorization Confirmation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If a long period has passed without a response, the Orvane program may not be running, or the Orvane Servers may have timed out. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Orvane Transmission Received an error<byte value="xd"/>
<byte value="xd"/>
Error Code : %1<byte value="xd"/>
Error Desc : %2<byte value="xd"/>
<byte value="xd"/>
You may want to try your authorization again later</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::authorization::AuthorizationShowfrm</name>
    <message>
        <source>Authorization Response</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Part</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authorized Part</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accept Price</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accept QTY</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error Desc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Response Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Response Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If the error is that the part # cannot be found, try resubmitting the Authorization as an Authoriztion Type &apos;OTHER&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If the authorized part is a different part than the one you have selected, you will need to manually remove the old part and add the new one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to accept changes to agent and exit screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not answered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Declined</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Applied</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::authorization::Authorizationfrm</name>
    <message>
        <source>Part Authorization</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auth Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Part</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Related Part</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Price</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reason</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Request Desc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Request Explanation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fax POP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Show All Parts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send &amp;Authorization</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cleared</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>After-market not available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Customer request</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>After-market quality issue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You cannot Authorize parts that do not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please add parts to your order and try authorizing them later</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a related Part for part %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a non-zero Quantity for part %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a non-zero Price for part %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a valid reason code for part %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a valid reason code for this Authorization %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must select an auth description from the list for part %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must select an Request Description for manual requests for part %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must select an Request Explanation for manual requests for part %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have not selected any parts to authorize.  Please click the authorize check box for the parts you want authorization for.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authorization cannot be sent due to the following problems <byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::dispatch::ChooseDispatchfrm</name>
    <message>
        <source>Choose Dispatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Dispatch #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find the dispatches whose number starts with the text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View Dispatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the selected dispatch as a report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Attach to Invoice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link the selected dispatch to the open order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dispatch #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No dispatch has been received.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No dispatch number starts with &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This order is void.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to link the dispatch to this void order anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Order Is Void</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This invoice is currently linked to a dispatch.  Linking it to another dispatch will unlink this record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to do this?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YES will continue and unlink your current invoice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NO will abort this operation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unlink Order?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This order is already linked to an order <byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
This order cannot be voided automatically.  Please remember to void this order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This dispatch is currently linked to order <byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
Press YES to automatically void the order it was linked to<byte value="xd"/>
Press NO to leave the other order intact</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Void Order?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The shop has no bill-to party for this insurer; it cannot be taken over.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The shop has no discount like this one; it cannot be taken over.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The order holds only %n characters here; taking it over cuts the rest.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvane::dispatch::Comparersfrm</name>
    <message>
        <source>BILL TO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discount</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date of Loss</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dispatch #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dispatch Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To First Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Last Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To City</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Zip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Work Area Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Work Phone #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Home Area Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Home Phone #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deductible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In Shop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent First Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent Last Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent Area Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent Phone #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compare dispatches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The dispatch differs from the open order. Tick &quot;Use Old Value&quot; for every value of the order to keep.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to accept changes to agent and exit screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to cancel agent edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Field Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Old Value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use Old Value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Order %1 compared with dispatch %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(not named)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(no number)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::dispatch::Dispatchfrm</name>
    <message>
        <source>Dispatch View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save as PDF...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dispatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dispatch %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::dispatch::clsShowDispatch</name>
    <message>
        <source>%1 &quot;%2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error occurred in CreateRecordset<byte value="xd"/>
%1<byte value="xd"/>
%2<byte value="xd"/>
%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This dispatch document is incomplete or damaged (%1): what the insurer sent cannot be shown. Ask the insurer to send it again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Some values of this dispatch could not be read and are left empty: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::dispatch::frmEscheduleInfo</name>
    <message>
        <source>Orvane ESchedule Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Requested Appointment Date :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Begin Request Time :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End Request Time :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mobile Location Description :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mobile ? :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to accept changes to agent and exit screen</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::loss::Coveragefrm</name>
    <message>
        <source>Coverage Information for loss</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select the Coverage Vehicle Below and fill in the following information to respond to the Insurance Company</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Vehicle...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installation &amp;Date:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check to install glass at a specified time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installation &amp;Time:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Mobile?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work Location &amp;Zip :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Zip Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Accept Work</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>D&amp;ecline Work Assignment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deductible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WARNING : Error %1        %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no Vehicle ID Specified.  You must specify the Vehicle ID before continueing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must select a Vehicle on the customers policy to continue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You cannot select more than one Vehicle on the Policy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must select a valid installation Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must select a time for the scheduled install</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must choose whether the Job is mobile or In-Shop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a Work Location Zip code where the work will be performed </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Work Location Zip code must be 5 digits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have not completed all the information to accept this Loss</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Entries</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::loss::eNOLcls</name>
    <message>
        <source>The answers to this loss notice have all been received and read; there is nothing more to wait for.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::loss::eNOLfrm</name>
    <message>
        <source>Cause of Loss</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cause of Loss :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Bodily Injury?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Glass Only Damage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contact Na&amp;me :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Damage Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Repairable?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to add the damage line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to delete the selected damage line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Qty:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Side</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Repairable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Claim Launch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to display a list of Bill To Customers to choose from</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Retail PID :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Network PID : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ins Co. ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ins&amp;urer ID : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Customer Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To First Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Last Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;First, Last:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Addr&amp;ess:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cit&amp;y, St Zip:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Work Ph:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Home Ph:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date Loss Occurred</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date of &amp;Loss:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insurance Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L&amp;oss ID # (claim) :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insurance Policy Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Policy Number:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Policy S&amp;tate :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Company:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent&apos;s First Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent for this Order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First, Last:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent&apos;s Phone Area Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent&apos;s Phone Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Phone:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ownership :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Vehicle Number :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Type :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Source :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Year of Vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Make of Vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model of Vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Body Style of Vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to choose the vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Identification Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VIN:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Submit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to accept changes to agent and exit screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to cancel agent edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must fill out the opening type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a quantity for the Glass Replacement</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The quantity for the Glass Replacement is too large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must check whether the glass is repairable or not</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With a Door, Vent, or Quarter, you must select a side code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The information you entered is incorrect.  Please correct the information to add it to your damage information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not find the opening type you have specified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You already have a record with the same opening type, position, and side codes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retail PID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network PID </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insurance Company ID </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network PID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Area Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Zip Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Phone #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Policy Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Policy State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date of Loss</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle Ownership</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Glass Only Damage Check box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Must have at least one damage type added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bodily Insury Check box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contact Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loss ID # ( Claim ) when bodily injury has occurred</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is required for this cause.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Area Code must have 3 digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Phone # must have 7 digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Work Area Code must have 3 digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sold To Work Phone # must have 7 digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent Area Code must have 3 digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Agent Phone # must have 7 digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To submit this Notice of Loss, you must fill out the following information<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Missing or invalid data</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::loss::eNOLwaitfrm</name>
    <message>
        <source>Waiting for Authorization</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Claim Confirmation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coverage Response</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send Loss Acknowledgment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loss Confirmation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receive Work Assignment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting on Authorization Confirmation for Claim Launch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If a long period elapses, you may want to cancel and retrieve your eNOL messages at a later time.  If one comes in you will be notified in your Dask Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Orvane eNOL Received an error<byte value="xd"/>
<byte value="xd"/>
Error Code : %1<byte value="xd"/>
Error Desc : %2<byte value="xd"/>
Loss Reference : %3<byte value="xd"/>
Loss Contact : %4<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Please resolve the issue to try again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>eNOL Authorization Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting on Confirmation Authorization for Loss Reference : %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coverage Response has been confirmed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coverage Confirmation Error <byte value="xd"/>
<byte value="xd"/>
Error code : %1<byte value="xd"/>
Error Text : %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirmation Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loss Response has been received</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your Coverage Response returned Errors <byte value="xd"/>
<byte value="xd"/>
Error Code : %1<byte value="xd"/>
Error Text : %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loss Response Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your Decline of the work assignment has been accepted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decline Accepted</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::loss::frmPIDList</name>
    <message>
        <source>Network ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Company</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>City</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Origination INS ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insurer ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insurance Company</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PID List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to select highlighted agent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to cancel agent lookup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to add new agent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to delete the highlighted agent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retail PID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PID Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to delete the current record?<byte value="xd"/>
<byte value="xd"/>
Press YES to delete this record <byte value="xd"/>
Press NO to abort operation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Record?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::report::ReportViewer</name>
    <message>
        <source>%1 could not be printed on %2.

Check that the printer is ready and try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The PDF file could not be written.

%1

Nothing was saved. Choose another folder or file name and save again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvane::ui::dtePicker</name>
    <message>
        <source>Clear to leave the date empty</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
