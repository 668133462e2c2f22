<%@ Language="VBScript" %>
<% Option Explicit %>
<%
Dim PageTitle, sent, name, message
PageTitle = "Contact"
sent = False
If Request.ServerVariables("REQUEST_METHOD") = "POST" Then
    name = Trim(Request.Form("name"))
    message = Trim(Request.Form("message"))
    If Len(name) > 0 And Len(message) > 0 Then
        ' A real site would store or mail the message here.
        sent = True
    End If
End If
%>
<!-- #include file="include/functions.inc" -->
<!-- #include file="include/header.inc" -->
<h1>Contact</h1>
<% If sent Then %>
<p>Thank you, <%= HtmlText(name) %>. Your message has been received.</p>
<% Else %>
<form name="contact" method="POST" action="contact.asp">
    <p>Name:<br><input type="text" name="name" size="40" maxlength="80"></p>
    <p>Message:<br><textarea name="message" cols="40" rows="6"></textarea></p>
    <p><input type="submit" name="send" value="Send"></p>
</form>
<% End If %>
<!-- #include file="include/footer.inc" -->
