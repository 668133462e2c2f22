<%@ Language="VBScript" %>
<% Option Explicit %>
<%
Dim PageTitle
PageTitle = "Home"
%>
<!-- #include file="include/functions.inc" -->
<!-- #include file="include/header.inc" -->
<h1>Welcome</h1>
<p>This is the demo site that comes with Tarnwell: a few classic ASP pages with
include files, a <code>Global.asa</code> and a project file.</p>
<%
Dim hour
hour = Hour(Now())
If hour < 12 Then
    Response.Write "<p>Good morning.</p>"
ElseIf hour < 18 Then
    Response.Write "<p>Good afternoon.</p>"
Else
    Response.Write "<p>Good evening.</p>"
End If
%>
<p><img src="images/logo.gif" alt="Tarnwell" border="0"></p>
<p>See our <a href="products.asp">products</a> or <a href="contact.asp">write to us</a>.</p>
<!-- #include file="include/footer.inc" -->
